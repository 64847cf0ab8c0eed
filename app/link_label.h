#pragma once
// A caption that works as a link: a click on it, or Enter or Space while it
// has the focus, says clicked(); Tab reaches it, and a screen reader hears a
// link by its text. While the pointer moves over it the cursor is the
// question-mark pointer. The cursor is set on `cursorOwner`: the label
// itself, or the surface it stands on, which then keeps that cursor until
// the surface sees the pointer again.

#include "app/held_keys.h"

#include <QLabel>

namespace zandrel {

class LinkLabel : public QLabel {
    Q_OBJECT

public:
    // Without a `cursorOwner` the label's own cursor changes.
    LinkLabel(const QString &text, QWidget *parent, QWidget *cursorOwner = nullptr);

signals:
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_cursorOwner;
    KeyRepeats m_repeats;
};

}  // namespace zandrel
