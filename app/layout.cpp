#include "app/layout.h"

#include <algorithm>
#include <cmath>

namespace zandrel::layout {

int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

double pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

float firstNameBoxLeft(int size, float current)
{
    // The columns of the chosen size stand as a block centred in the frame;
    // the four-column case uses a ninth of the spare width, which the original
    // layout did and which still leaves the block nearly centred.
    constexpr auto frameWidth = static_cast<float>(design::NamesFrame.width);
    constexpr float boxWidth = NameBoxWidth;
    const float centred = (frameWidth - boxWidth) / 2.0f;
    if (size <= 8)
        return centred;
    if (size <= 16)
        return centred - 800.0f;
    if (size <= 24)
        return centred - 1440.0f;
    if (size <= 32)
        return (frameWidth - boxWidth) / 9.0f;
    return current;
}

float nameBoxLeft(int box, float firstLeft)
{
    const int column = (box - 1) / 8;
    return firstLeft + NameColumnSpacing * static_cast<float>(column);
}

float nameBoxTop(int box)
{
    const int row = (box - 1) % 8;
    return 240.0f + 360.0f * static_cast<float>(row);
}

float designNameBoxLeft(int box)
{
    return nameBoxLeft(box, 120.0f);
}

WindowLayout windowLayout(double w, double h)
{
    using namespace design;
    // Each step may use what an earlier one set: the frames hang off the button.
    WindowLayout l{};
    l.makeBracketLeft = (w - MakeBracketButton.width) / 2;
    l.makeBracketTop = (h - MakeBracketButton.height) / 2 - 800;
    l.namesFrameLeft = (w - NamesFrame.width) / 2 - 50;
    l.namesFrameTop = l.makeBracketTop + 385;
    l.optionsFrameLeft = (w - OptionsFrame.width) / 2 - 50;
    l.optionsFrameTop = l.makeBracketTop - 2135;
    l.aboutLinkLeft = w - AboutLink.width - 60;
    l.aboutLinkTop = 0;
    l.privacyLinkTop = NamesFrame.height + l.namesFrameTop + 50;
    l.privacyLinkLeft = (w - PrivacyLink.width) / 2;
    l.topLineWidth = w + 120;
    return l;
}

Point centreOver(double ownerLeft, double ownerTop, double ownerWidth, double ownerHeight,
                 double width, double height)
{
    return {ownerWidth / 2 + ownerLeft - width / 2, ownerHeight / 2 + ownerTop - height / 2};
}

Point centreWithin(double areaLeft, double areaTop, double areaWidth, double areaHeight, double width,
                   double height)
{
    const Point centred = centreOver(areaLeft, areaTop, areaWidth, areaHeight, width, height);
    return {std::max(centred.x, areaLeft), std::max(centred.y, areaTop)};
}

}  // namespace zandrel::layout
