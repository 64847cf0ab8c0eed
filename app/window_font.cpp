#include "app/window_font.h"

#include "app/layout.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <cmath>

namespace zandrel {

QFont fittedFont(const QList<Caption> &captions)
{
    const QStringList families{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                               QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                               QStringLiteral("DejaVu Sans")};
    QFont font = QApplication::font();
    for (const QString &family : families) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamily(family);
            break;
        }
    }
    for (double points = 8.25; points >= 6.0; points -= 0.25) {
        font.setPointSizeF(points);
        const QFontMetricsF metrics(font);
        bool fits = true;
        for (const Caption &caption : captions)
            fits = fits && layout::pixelsToTwips(static_cast<int>(std::ceil(metrics.horizontalAdvance(caption.text))))
                               <= caption.roomTwips;
        if (fits)
            break;
    }
    return font;
}

double listEntryRoom(const QComboBox *list)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    return layout::pixelsToTwips(field.width() - 2);
}

QString frameStyleSheet(const QFont &font)
{
    // The caption sits on the frame's top border, so the first row of
    // controls clears it. A style sheet stops fonts from propagating to the
    // widgets below it, so it names the font itself.
    return QStringLiteral("QWidget { font-family: \"%1\"; font-size: %2pt; }"
                          "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
                          "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
                          " left: 8px; padding: 0 2px; }")
        .arg(font.family())
        .arg(font.pointSizeF());
}

}  // namespace zandrel
