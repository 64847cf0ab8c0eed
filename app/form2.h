#pragma once
// The privacy window: the privacy statement and an OK button, modal over the
// main window and made afresh at each opening.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace zandrel {

class Form2 : public QDialog {
    Q_OBJECT

public:
    explicit Form2(QWidget *owner);

    // Centres the window over its owner's current place and size.
    void Form_Load();

private:
    QPlainTextEdit *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
};

}  // namespace zandrel
