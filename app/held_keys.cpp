#include "app/held_keys.h"

#include <QKeyEvent>
#include <QWidget>

namespace zandrel {

bool KeyRepeats::isRepeat(const QKeyEvent *press) const
{
    return press->isAutoRepeat() ||
           (press->timestamp() != 0 && press->timestamp() == m_lastRelease.value(press->key(), 0));
}

void KeyRepeats::noteRelease(const QKeyEvent *release)
{
    m_lastRelease.insert(release->key(), release->timestamp());
}

HeldKeyFilter::HeldKeyFilter(QWidget *window)
    : QObject(window)
{
    window->installEventFilter(this);
    for (QWidget *widget : window->findChildren<QWidget *>())
        widget->installEventFilter(this);
}

bool HeldKeyFilter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    // A key the focused widget leaves travels up to the window, and is seen
    // here again: a press passes twice alike, and a release once.
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (event->type() == QEvent::KeyPress) {
        if (m_repeats.isRepeat(key))
            return true;
        m_pressed.insert(key->key());
        return false;
    }
    m_repeats.noteRelease(key);
    return key->isAutoRepeat() || !m_pressed.remove(key->key());
}

}  // namespace zandrel
