// Zandrel: makes a printable tournament bracket as an HTML page.

#include "app/command_line.h"
#include "app/console.h"
#include "app/display_check.h"
#include "app/main_window.h"
#include "app/page_command.h"
#include "qt/qt_services.h"
#include "qt/signal_shutdown.h"
#include "product.h"

#include <QApplication>

#include <iostream>

int main(int argc, char *argv[])
{
    // Options make a page without the window, or answer for the program;
    // neither needs a display, nor takes part in the one-copy rule.
    const zandrel::CommandLine commandLine = zandrel::parseCommandLine(zandrel::callersArguments(argc, argv));
    if (commandLine.action != zandrel::CommandLine::Action::OpenWindow)
        return zandrel::runWithoutWindow(commandLine, argc, argv);

    const std::string noDisplay = zandrel::missingDisplayMessage(
        qEnvironmentVariable("QT_QPA_PLATFORM").toStdString(), qEnvironmentVariable("DISPLAY").toStdString(),
        qEnvironmentVariable("WAYLAND_DISPLAY").toStdString());
    if (!noDisplay.empty()) {
        std::cerr << noDisplay << '\n';
        return 1;
    }
    zandrel::watchForUnreachableDisplay();
    QApplication app(argc, argv);
    zandrel::stopWatchingForUnreachableDisplay();
    QApplication::setApplicationName(QString::fromLatin1(zandrel::product::Name));
    QApplication::setApplicationVersion(QString::fromLatin1(zandrel::product::Version));
    QApplication::setOrganizationDomain(QString::fromLatin1(zandrel::product::WebSiteHost));
    QApplication::setDesktopFileName(QStringLiteral("org.zandrel.Zandrel"));

    zandrel::QtServices services;
    zandrel::MainWindow window(services.all());
    const zandrel::SignalShutdown signalShutdown(window, services.oneCopy);
    services.oneCopy.setActivationHandler([&window](const QString &title) {
        if (window.isOpen() && title == window.windowTitle())
            window.bringToFront();
    });
    if (!window.startUp() || signalShutdown.requested())
        return 0;
    window.show();
    return QApplication::exec();
}
