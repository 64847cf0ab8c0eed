#pragma once
// One press of a key does one thing, however long the key is held. Qt flags
// the repeats of a held key only when it sees the next press in time; X11
// sends each repeat as a release and a press at the same instant, which
// tells it for sure. A deliberate second press comes later than the release.

#include <QHash>
#include <QObject>
#include <QSet>

class QKeyEvent;
class QWidget;

namespace zandrel {

// Whether a press only repeats a key held down: told the releases it is
// given, it knows the presses that come at the same instant as one.
class KeyRepeats {
public:
    bool isRepeat(const QKeyEvent *press) const;
    void noteRelease(const QKeyEvent *release);

private:
    QHash<int, quint64> m_lastRelease;  // the system's time stamp of each key's last release
};

// Lets only what a real press began reach a window: the repeats of a held
// key are dropped, and so is the release of a key that was already down when
// the window got it. A key held on the link that opened a window must not
// then work in that window, closing it for the link to open it again.
class HeldKeyFilter : public QObject {
public:
    // Watches `window` and every widget in it.
    explicit HeldKeyFilter(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyRepeats m_repeats;
    QSet<int> m_pressed;  // keys whose real press was let through
};

}  // namespace zandrel
