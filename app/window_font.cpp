#include "app/window_font.h"

#include "app/layout.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <cmath>

namespace zandrel {

namespace {

// The size the window was drawn for, and how far it is shrunk.
constexpr double DesignPoints = 8.25;
constexpr double SmallestPoints = 6.0;
// The faces from this one on are look-alikes of the one the window was drawn
// for, and wider: Arial and its metric twin Liberation Sans set the captions
// an eighth wider, and fit them at this size, which is only where the search
// for the size begins; any face and size is measured before it is taken.
constexpr qsizetype LookAlikesFrom = 2;
constexpr double LookAlikePoints = 6.75;

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
    qsizetype chosen = families.size();
    for (qsizetype i = 0; i < families.size() && chosen == families.size(); ++i) {
        if (installed.contains(families[i], Qt::CaseInsensitive))
            chosen = i;
    }
    font.setFamily(chosen < families.size() ? families[chosen] : font.family());
    font.setPointSizeF(DesignPoints);
    if (chosen < LookAlikesFrom && widestShare(font, captions) <= 1)
        return font;

    // Every size looked at costs the loading of a font at that size. A font
    // is drawn at a whole number of pixels, and widths grow in step with it,
    // so the tightest caption's share of its room at one size tells the
    // largest size that fits; what is measured there confirms it.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double pixelsPerPoint = (screen ? screen->logicalDotsPerInchY() : 96.0) / 72.0;
    const int largest = static_cast<int>(std::lround(DesignPoints * pixelsPerPoint));
    const int smallest = static_cast<int>(std::ceil(SmallestPoints * pixelsPerPoint));
    int pixels = std::clamp(static_cast<int>(std::lround(LookAlikePoints * pixelsPerPoint)), smallest, largest);
    int fits = 0;  // the largest size seen to fit
    for (;;) {
        font.setPixelSize(pixels);
        const double share = widestShare(font, captions);
        if (share <= 1)
            fits = std::max(fits, pixels);
        const int next = std::clamp(static_cast<int>(pixels / share), smallest, largest);
        if (next == pixels || next <= fits)
            break;
        pixels = next;
    }
    font.setPixelSize(std::max(fits, smallest));
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
