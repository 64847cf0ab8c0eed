#include "app/form2.h"

#include "app/layout.h"
#include "app/twips.h"
#include "app/window_texts.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <cmath>

namespace zandrel {

Form2::Form2(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Privacy Policy"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(layout::twipsToPixels(3915), layout::twipsToPixels(1890));

    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Qt keeps lines apart with its own separator; the text's CR LF pairs
    // would otherwise show as stray characters.
    m_text1->setPlainText(QString::fromStdString(privacyText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    placeInTwips(m_text1, 240, 120, 3495, 1095);

    m_command1 = new QPushButton(QStringLiteral("OK"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setDefault(true);
    placeInTwips(m_command1, 1530, 1320, 855, 375);
    connect(m_command1, &QPushButton::clicked, this, &QDialog::accept);

    setTabOrder(m_command1, m_text1);
    m_command1->setFocus(Qt::OtherFocusReason);
}

void Form2::Form_Load()
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
