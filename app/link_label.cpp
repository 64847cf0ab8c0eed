#include "app/link_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace zandrel {

namespace {

// What assistive technology sees of a link label: a link, named by its
// text, that it can follow. A plain label would be static text.
class LinkLabelAccessible : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(LinkLabel *link)
        : QAccessibleWidget(link, QAccessible::Link)
    {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const LinkLabel *>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action == pressAction() && widget()->isEnabled())
            emit static_cast<LinkLabel *>(widget())->clicked();
    }
};

QAccessibleInterface *linkLabelAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("zandrel::LinkLabel") && object->isWidgetType())
        return new LinkLabelAccessible(static_cast<LinkLabel *>(object));
    return nullptr;
}

}  // namespace

LinkLabel::LinkLabel(const QString &text, QWidget *parent, QWidget *cursorOwner)
    : QLabel(text, parent)
    , m_cursorOwner(cursorOwner ? cursorOwner : this)
{
    static const bool factoryInstalled = (QAccessible::installFactory(linkLabelAccessible), true);
    Q_UNUSED(factoryInstalled);
    setMouseTracking(true);
    // By Tab only: a click follows the link without leaving a focus frame.
    setFocusPolicy(Qt::TabFocus);
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

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // Taken, so the window does not also treat Enter as Make Bracket; a
        // held key follows the link once.
        event->accept();
        if (!m_repeats.isRepeat(event))
            emit clicked();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void LinkLabel::keyReleaseEvent(QKeyEvent *event)
{
    m_repeats.noteRelease(event);
    QLabel::keyReleaseEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // Where the keyboard is: the style's own focus frame round the text.
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = contentsRect();
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

}  // namespace zandrel
