// Zandrel: makes a printable tournament bracket as an HTML page.

#include "app/form1.h"
#include "platform/qt_runtime.h"
#include "platform/signal_shutdown.h"
#include "product.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zandrel"));
    QApplication::setApplicationVersion(QString::fromLatin1(zandrel::product::Version));
    QApplication::setOrganizationDomain(QString::fromLatin1(zandrel::product::WebSiteHost));
    QApplication::setDesktopFileName(QStringLiteral("zandrel"));

    zandrel::QtRuntime runtime;
    zandrel::Form1 window(runtime);
    const zandrel::SignalShutdown signalShutdown(window);
    runtime.setActivationHandler([&window](const QString &title) {
        if (window.isOpen() && title == window.windowTitle())
            window.bringToFront();
    });
    if (!window.Form_Load() || signalShutdown.requested())
        return 0;
    window.show();
    return QApplication::exec();
}
