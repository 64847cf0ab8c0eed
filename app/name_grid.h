#pragma once
// The names frame: a box per possible entrant, in 4 columns of 8. The chosen
// size shows boxes 1 to n, their columns centred in the frame; hidden boxes
// keep their names. A box that takes the focus selects its whole name, so
// typing replaces it, as the default names invite.
//
// The frame is hidden until a size is chosen, so its 32 boxes are made only
// when first needed, or once the window shows, and not before the window
// can show: until then the names are kept here.

#include "platform/tournament.h"

#include "app/caption_frame.h"

#include <array>

class QLineEdit;

namespace zandrel {

class NameGrid : public CaptionFrame {
    Q_OBJECT

public:
    explicit NameGrid(QWidget *parent);

    // The name in box `box`, 1 to 32, and setting it, shown from its beginning.
    QString name(int box) const;
    void setName(int box, const QString &name);
    // Name box `box`, 1 to 32; the boxes are made if they are not yet.
    QLineEdit *nameBox(int box);
    void makeBoxes();
    // Shows the frame with boxes 1 to `size`, and hides the others.
    void showSize(int size);

signals:
    // The boxes are there, to be put in the window's tab order.
    void boxesMade();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveColumns();
    void selectWholeName(int box);

    std::array<QLineEdit *, MaxEntrants> m_boxes{};
    std::array<QString, MaxEntrants> m_names;  // until the boxes are made
};

}  // namespace zandrel
