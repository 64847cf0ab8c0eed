#pragma once
// Enter anywhere in the main window presses its "Make Bracket" button, from
// the title, the lists or a name box: a default button works only inside
// dialogs. One press, one bracket: the repeats of a held key are no presses,
// neither for the window nor for the button, which clicks itself on every
// Enter it gets.

#include "app/held_keys.h"

#include <QObject>

class QKeyEvent;
class QPushButton;
class QWidget;

namespace zandrel {

class EnterKeyFilter : public QObject {
public:
    // Watches `window` for the Enter no control wanted, and `button`.
    EnterKeyFilter(QWidget *window, QPushButton *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QPushButton *m_button;
    KeyRepeats m_repeats;
};

}  // namespace zandrel
