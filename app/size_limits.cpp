#include "app/size_limits.h"

#include "app/layout.h"

#include <QWidget>

namespace zandrel {

SizeLimits::SizeLimits(QWidget &window)
    : m_window(window)
{
}

void SizeLimits::install()
{
    m_installed = true;
    apply();
}

void SizeLimits::remove()
{
    m_installed = false;
    m_window.setMinimumSize(0, 0);
    m_window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void SizeLimits::apply()
{
    if (!m_installed)
        return;
    const QSize frame = m_window.frameGeometry().size() - m_window.geometry().size();
    const QSize minimum(layout::MinOuterWidth - frame.width(), layout::MinOuterHeight - frame.height());
    const QSize maximum(layout::MaxOuterWidth - frame.width(), layout::MaxOuterHeight - frame.height());
    if (m_window.minimumSize() != minimum)
        m_window.setMinimumSize(minimum);
    if (m_window.maximumSize() != maximum)
        m_window.setMaximumSize(maximum);
}

}  // namespace zandrel
