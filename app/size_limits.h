#pragma once
// The main window's outer size, frame included, stays within the limits of
// layout.h from start-up to shutdown. Qt's limits are for the window without
// its frame, whose size is only known once the window system has framed it,
// so they are worked out again whenever the window is shown or resized.

class QWidget;

namespace zandrel {

class SizeLimits {
public:
    explicit SizeLimits(QWidget &window);

    void install();
    // The window may take any size again.
    void remove();
    // Sets the limits again for the frame as it is now; nothing while they
    // are not installed.
    void apply();

private:
    QWidget &m_window;
    bool m_installed = false;
};

}  // namespace zandrel
