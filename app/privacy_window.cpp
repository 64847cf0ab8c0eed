#include "app/privacy_window.h"

#include "app/held_keys.h"
#include "app/layout.h"
#include "app/twips.h"
#include "app/window_texts.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <cmath>

namespace zandrel {

PrivacyWindow::PrivacyWindow(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("PrivacyWindow"));
    setWindowTitle(QStringLiteral("Privacy Policy"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(layout::twipsToPixels(3915), layout::twipsToPixels(1890));

    m_statementText = new QPlainTextEdit(this);
    m_statementText->setObjectName(QStringLiteral("statementText"));
    m_statementText->setAccessibleName(QStringLiteral("Privacy statement"));
    m_statementText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_statementText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Qt keeps lines apart with its own separator; the text's CR LF pairs
    // would otherwise show as stray characters.
    m_statementText->setPlainText(
        QString::fromStdString(privacyText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    placeInTwips(m_statementText, 240, 120, 3495, 1095);

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    placeInTwips(m_okButton, 1530, 1320, 855, 375);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    setTabOrder(m_okButton, m_statementText);
    m_okButton->setFocus(Qt::OtherFocusReason);
    // Opened by a key, which may still be held down.
    new HeldKeyFilter(this);
}

void PrivacyWindow::centreOverOwner()
{
    const QWidget *owner = parentWidget();
    if (!owner)
        return;
    const QRect main = owner->frameGeometry();
    // Our own frame does not exist before the first show; the window system
    // frames us as it framed our owner, so borrow its margins.
    const QSize margins = main.size() - owner->geometry().size();
    const QSize own = isVisible() ? frameGeometry().size() : size() + margins;
    const layout::Point place =
        layout::centreOver(main.x(), main.y(), main.width(), main.height(), own.width(), own.height());
    move(static_cast<int>(std::lround(place.x)), static_cast<int>(std::lround(place.y)));
}

}  // namespace zandrel
