#pragma once
// A frame as the window was drawn: a thin rounded line whose caption sits on
// its top edge, the first row of controls clear of it. It paints itself, so
// that the controls inside keep the application's style untouched (a style
// sheet would draw the same, but it restyles every widget beneath it, which
// slows the window's first showing by a third).

#include <QGroupBox>

namespace zandrel {

class CaptionFrame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *event) override;
};

}  // namespace zandrel
