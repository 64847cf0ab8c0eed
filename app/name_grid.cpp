#include "app/name_grid.h"

#include "app/layout.h"
#include "app/twips.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>

#include <utility>

namespace zandrel {

NameGrid::NameGrid(QWidget *parent)
    : CaptionFrame(QStringLiteral("Player/Team Names"), parent)
{
    setObjectName(QStringLiteral("namesFrame"));
    setFocusPolicy(Qt::NoFocus);
}

QString NameGrid::name(int box) const
{
    const auto at = static_cast<std::size_t>(box - 1);
    return m_boxes.at(at) ? m_boxes[at]->text() : m_names.at(at);
}

void NameGrid::setName(int box, const QString &name)
{
    const auto at = static_cast<std::size_t>(box - 1);
    if (QLineEdit *edit = m_boxes.at(at)) {
        edit->setText(name);
        // A name wider than its box shows its beginning, not its end.
        edit->setCursorPosition(0);
    } else {
        m_names.at(at) = name;
    }
}

QLineEdit *NameGrid::nameBox(int box)
{
    makeBoxes();
    return m_boxes.at(static_cast<std::size_t>(box - 1));
}

void NameGrid::makeBoxes()
{
    if (m_boxes[0])
        return;
    for (int box = 1; box <= MaxEntrants; ++box) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("nameBox%1").arg(box));
        // Which entrant it is, for a screen reader: the frame's caption alone
        // would name all 32 alike.
        edit->setAccessibleName(QStringLiteral("Player/Team %1").arg(box));
        placeInTwips(edit, layout::designNameBoxLeft(box), layout::nameBoxTop(box), layout::NameBoxWidth,
                     layout::NameBoxHeight);
        edit->installEventFilter(this);
        m_boxes[static_cast<std::size_t>(box - 1)] = edit;
        setName(box, std::exchange(m_names[static_cast<std::size_t>(box - 1)], QString()));
    }
    emit boxesMade();
}

void NameGrid::showSize(int size)
{
    makeBoxes();
    for (QLineEdit *edit : m_boxes)
        edit->hide();
    QLineEdit *first = nameBox(1);
    const float left = layout::firstNameBoxLeft(size, static_cast<float>(twipsLeft(first)));
    moveInTwips(first, left, twipsTop(first));
    moveColumns();
    for (int box = 1; box <= size && box <= MaxEntrants; ++box)
        nameBox(box)->show();
    show();
}

void NameGrid::moveColumns()
{
    const auto first = static_cast<float>(twipsLeft(nameBox(1)));
    for (int box = 2; box <= MaxEntrants; ++box) {
        QLineEdit *edit = nameBox(box);
        moveInTwips(edit, layout::nameBoxLeft(box, first), twipsTop(edit));
    }
}

void NameGrid::selectWholeName(int box)
{
    QLineEdit *edit = nameBox(box);
    edit->setSelection(0, static_cast<int>(edit->text().size()));
}

bool NameGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        for (int box = 1; box <= MaxEntrants; ++box) {
            if (watched == nameBox(box)) {
                // After the focus change settles, or the click's own cursor
                // placement would undo the selection.
                QTimer::singleShot(0, this, [this, box] { selectWholeName(box); });
                break;
            }
        }
    }
    return CaptionFrame::eventFilter(watched, event);
}

}  // namespace zandrel
