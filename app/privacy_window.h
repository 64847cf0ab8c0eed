#pragma once
// The privacy window: the privacy statement and an OK button, modal over the
// main window and made afresh at each opening.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace zandrel {

class PrivacyWindow : public QDialog {
    Q_OBJECT

public:
    explicit PrivacyWindow(QWidget *owner);

    // Centres the window over its owner's current place and size.
    void centreOverOwner();

private:
    QPlainTextEdit *m_statementText = nullptr;
    QPushButton *m_okButton = nullptr;
};

}  // namespace zandrel
