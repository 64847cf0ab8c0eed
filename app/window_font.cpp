#include "app/window_font.h"

#include "app/layout.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <cmath>

namespace zandrel {

namespace {

// The size the window was drawn for, and how far it is shrunk.
constexpr double DesignPoints = 8.25;
constexpr double SmallestPoints = 6.0;

// The largest share of its room that a caption takes in `font`: above 1, it does not fit.
double widestShare(const QFont &font, const QList<Caption> &captions)
{
    const QFontMetricsF metrics(font);
    double share = 0;
    for (const Caption &caption : captions) {
        const double twips = layout::pixelsToTwips(static_cast<int>(std::ceil(metrics.horizontalAdvance(caption.text))));
        share = std::max(share, twips / caption.roomTwips);
    }
    return share;
}

}  // namespace

QFont fittedFont(const QList<Caption> &captions)
{
    const QStringList families{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                               QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                               QStringLiteral("DejaVu Sans")};
    // Looked up among the families installed, not asked for one by one: a
    // family that is missing would send the system through all its aliases
    // first, which takes a third of the program's start-up.
    const QStringList installed = QFontDatabase::families();
    QFont font = QApplication::font();
    for (const QString &family : families) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            font.setFamily(family);
            break;
        }
    }
    // Every size looked at costs the loading of a font at that size. A font
    // is drawn at a whole number of pixels, and widths grow in step with it:
    // measured once at the design size, the caption tightest in its room
    // tells the largest whole size to look at first, which then fits.
    font.setPointSizeF(DesignPoints);
    const double share = widestShare(font, captions);
    if (share <= 1)
        return font;
    const int designPixels = QFontInfo(font).pixelSize();
    const int smallestPixels = static_cast<int>(std::ceil(designPixels * SmallestPoints / DesignPoints));
    for (int pixels = static_cast<int>(designPixels / share); pixels > smallestPixels; --pixels) {
        font.setPixelSize(pixels);
        if (widestShare(font, captions) <= 1)
            return font;
    }
    font.setPixelSize(smallestPixels);
    return font;
}

double listEntryRoom(const layout::Place &list)
{
    QStyleOptionComboBox option;
    option.rect = QRect(0, 0, layout::twipsToPixels(list.width), layout::twipsToPixels(list.height));
    const QRect field =
        QApplication::style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, nullptr);
    return layout::pixelsToTwips(field.width() - 2);
}

}  // namespace zandrel
