#pragma once
// The names frame: a box per possible entrant, in 4 columns of 8. The chosen
// size shows boxes 1 to n, their columns centred in the frame; hidden boxes
// keep their names. A box that takes the focus selects its whole name, so
// typing replaces it, as the default names invite.

#include "platform/tournament.h"

#include "app/caption_frame.h"

#include <array>

class QLineEdit;

namespace zandrel {

class NameGrid : public CaptionFrame {
    Q_OBJECT

public:
    explicit NameGrid(QWidget *parent);

    // Name box `box`, 1 to 32.
    QLineEdit *nameBox(int box) const { return m_boxes.at(static_cast<std::size_t>(box - 1)); }
    // Shows the frame with boxes 1 to `size`, and hides the others.
    void showSize(int size);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveColumns();
    void selectWholeName(int box);

    std::array<QLineEdit *, MaxEntrants> m_boxes{};
};

}  // namespace zandrel
