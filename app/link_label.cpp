#include "app/link_label.h"

#include <QMouseEvent>

namespace zandrel {

LinkLabel::LinkLabel(const QString &text, QWidget *parent, QWidget *cursorOwner)
    : QLabel(text, parent)
    , m_cursorOwner(cursorOwner ? cursorOwner : this)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void LinkLabel::mouseMoveEvent(QMouseEvent *event)
{
    // Taken here: a plain label passes the move on to the surface below,
    // which would undo the cursor at once.
    m_cursorOwner->setCursor(Qt::WhatsThisCursor);
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    emit clicked();
}

}  // namespace zandrel
