#include "app/enter_key_filter.h"

#include <QKeyEvent>
#include <QPushButton>

namespace zandrel {

namespace {

bool isEnterKey(const QEvent *event)
{
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

EnterKeyFilter::EnterKeyFilter(QWidget *window, QPushButton *button)
    : QObject(window)
    , m_window(window)
    , m_button(button)
{
    // A key no control took travels up to the window, whose filters see it
    // on the way, as its own key handling would.
    window->installEventFilter(this);
    button->installEventFilter(this);
}

bool EnterKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease && watched == m_window && isEnterKey(event))
        m_repeats.noteRelease(static_cast<QKeyEvent *>(event));
    if (event->type() != QEvent::KeyPress || !isEnterKey(event))
        return false;
    auto *press = static_cast<QKeyEvent *>(event);
    if (watched == m_button)
        return m_repeats.isRepeat(press);
    if (watched != m_window || !m_button->isEnabled())
        return false;
    press->accept();
    if (!m_repeats.isRepeat(press))
        m_button->click();
    return true;
}

}  // namespace zandrel
