#pragma once
// Places widgets in twips. The exact (possibly fractional) twips are kept on
// the widget as properties, so the window's own arithmetic never works on
// rounded pixels; only the geometry handed to Qt is rounded, here.

#include "app/layout.h"

class QWidget;

namespace zandrel {

void placeInTwips(QWidget *widget, double left, double top, double width, double height);
void placeInTwips(QWidget *widget, const layout::Place &place);
void moveInTwips(QWidget *widget, double left, double top);
void resizeWidthInTwips(QWidget *widget, double width);

double twipsLeft(const QWidget *widget);
double twipsTop(const QWidget *widget);
double twipsWidth(const QWidget *widget);
double twipsHeight(const QWidget *widget);

}  // namespace zandrel
