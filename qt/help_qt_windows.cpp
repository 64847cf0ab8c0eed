#include "qt/help_qt_windows.h"

#include "platform/failure.h"
#include "qt/help_viewer.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace zandrel {

namespace {

HelpWindows::Handle handleOf(const QWidget *widget)
{
    return reinterpret_cast<HelpWindows::Handle>(widget);
}

}  // namespace

QWidget *QtHelpWindows::widgetFor(Handle window)
{
    // A handle is only trusted while the widget it names is still one of
    // ours; a closed viewer may be gone by the time it is used.
    if (window == 0)
        return nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *widget : windows)
        if (handleOf(widget) == window && widget->isVisible())
            return widget;
    return nullptr;
}

HelpWindows::Handle QtHelpWindows::findWindow(const std::string &title)
{
    const QString wanted = QString::fromStdString(title);
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *widget : windows)
        if (widget->isVisible() && widget->windowTitle() == wanted)
            return handleOf(widget);
    return 0;
}

HelpWindows::ShowState QtHelpWindows::showState(Handle window)
{
    const QWidget *widget = widgetFor(window);
    if (!widget)
        return ShowState::Unknown;
    return widget->isMinimized() ? ShowState::Minimised : ShowState::Normal;
}

void QtHelpWindows::restore(Handle window)
{
    if (QWidget *widget = widgetFor(window)) {
        widget->showNormal();
        widget->activateWindow();
    }
}

void QtHelpWindows::bringToFront(Handle window)
{
    if (QWidget *widget = widgetFor(window)) {
        widget->activateWindow();
        widget->raise();
    }
}

void QtHelpWindows::requestClose(Handle window)
{
    // Queued, as a window system posts a close: the viewer acts on it once
    // events are handled. Tied to the widget, so a viewer gone by then is no
    // harm.
    if (QWidget *widget = widgetFor(window))
        QTimer::singleShot(0, widget, [widget] { widget->close(); });
}

void QtHelpWindows::openViewer(const std::string &path, const std::string &title)
{
    auto viewer = std::make_unique<HelpViewer>();
    viewer->openDocument(QString::fromStdString(path));
    viewer->setWindowTitle(QString::fromStdString(title));
    viewer->show();
    viewer->activateWindow();
    viewer.release();  // Deletes itself when closed.
}

}  // namespace zandrel
