#include "app/caption_frame.h"

#include <QPainter>
#include <QStyle>

namespace zandrel {

namespace {

// In pixels: how far the line stands below the frame's top, where the
// caption begins, the room on each side of it, and the line's corners.
constexpr int LineTop = 6;
constexpr int CaptionLeft = 8;
constexpr int CaptionPadding = 2;
constexpr qreal CornerRadius = 2;

}  // namespace

void CaptionFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRoundedRect(QRectF(rect().adjusted(0, LineTop, 0, 0)).adjusted(0.5, 0.5, -0.5, -0.5), CornerRadius,
                            CornerRadius);
    const QRect caption(CaptionLeft, 0, fontMetrics().horizontalAdvance(title()) + 2 * CaptionPadding,
                        fontMetrics().height());
    painter.fillRect(caption, palette().window());
    style()->drawItemText(&painter, caption.adjusted(CaptionPadding, 0, -CaptionPadding, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(), isEnabled(), title(),
                          QPalette::WindowText);
}

}  // namespace zandrel
