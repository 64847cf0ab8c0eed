#include "app/twips.h"

#include "app/layout.h"

#include <QVariant>
#include <QWidget>

namespace zandrel {

namespace {

constexpr const char *LeftKey = "twipsLeft";
constexpr const char *TopKey = "twipsTop";
constexpr const char *WidthKey = "twipsWidth";
constexpr const char *HeightKey = "twipsHeight";

double stored(const QWidget *widget, const char *key, int pixels)
{
    const QVariant value = widget->property(key);
    return value.isValid() ? value.toDouble() : layout::pixelsToTwips(pixels);
}

void apply(QWidget *widget)
{
    using layout::twipsToPixels;
    widget->setGeometry(twipsToPixels(twipsLeft(widget)), twipsToPixels(twipsTop(widget)),
                        twipsToPixels(twipsWidth(widget)), twipsToPixels(twipsHeight(widget)));
}

}  // namespace

void placeInTwips(QWidget *widget, double left, double top, double width, double height)
{
    widget->setProperty(LeftKey, left);
    widget->setProperty(TopKey, top);
    widget->setProperty(WidthKey, width);
    widget->setProperty(HeightKey, height);
    apply(widget);
}

void placeInTwips(QWidget *widget, const layout::Place &place)
{
    placeInTwips(widget, place.left, place.top, place.width, place.height);
}

void moveInTwips(QWidget *widget, double left, double top)
{
    placeInTwips(widget, left, top, twipsWidth(widget), twipsHeight(widget));
}

void resizeWidthInTwips(QWidget *widget, double width)
{
    placeInTwips(widget, twipsLeft(widget), twipsTop(widget), width, twipsHeight(widget));
}

double twipsLeft(const QWidget *widget)
{
    return stored(widget, LeftKey, widget->x());
}

double twipsTop(const QWidget *widget)
{
    return stored(widget, TopKey, widget->y());
}

double twipsWidth(const QWidget *widget)
{
    return stored(widget, WidthKey, widget->width());
}

double twipsHeight(const QWidget *widget)
{
    return stored(widget, HeightKey, widget->height());
}

}  // namespace zandrel
