#pragma once
// The help's window operations on Qt: the windows are this program's own
// top-level widgets, found by their title, and the viewer is a HelpViewer.

#include "help/help_windows.h"

class QWidget;

namespace zandrel {

class QtHelpWindows : public HelpWindows {
public:
    Handle findWindow(const std::string &title) override;
    ShowState showState(Handle window) override;
    void restore(Handle window) override;
    void bringToFront(Handle window) override;
    void requestClose(Handle window) override;
    void openViewer(const std::string &path, const std::string &title) override;

private:
    // The shown top-level widget behind `window`, or null when it has gone.
    static QWidget *widgetFor(Handle window);
};

}  // namespace zandrel
