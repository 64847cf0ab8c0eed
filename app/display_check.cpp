#include "app/display_check.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace zandrel {

namespace {

constexpr const char *Lead = "Zandrel needs a graphical desktop: ";

QtMessageHandler previousHandler = nullptr;

void holdBackPlatformFailure(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        const QString display = qEnvironmentVariable("DISPLAY");
        const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
        const QString named = !wayland.isEmpty() ? QStringLiteral("WAYLAND_DISPLAY=") + wayland
                                                 : QStringLiteral("DISPLAY=") + display;
        std::fprintf(stderr, "%sthe display %s cannot be opened.\n", Lead, qPrintable(named));
        std::_Exit(1);
    }
    // Lines of the platform layer read as the reason for what comes next,
    // which is said in our own words instead.
    if (context.category && QByteArray(context.category).startsWith("qt.qpa"))
        return;
    if (previousHandler)
        previousHandler(type, context, text);
}

}  // namespace

std::string missingDisplayMessage(std::string_view platform, std::string_view display,
                                  std::string_view waylandDisplay)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (platform.empty() && display.empty() && waylandDisplay.empty())
        return std::string(Lead) + "neither DISPLAY nor WAYLAND_DISPLAY is set.";
#else
    (void)platform;
    (void)display;
    (void)waylandDisplay;
#endif
    return {};
}

void watchForUnreachableDisplay()
{
    previousHandler = qInstallMessageHandler(holdBackPlatformFailure);
}

void stopWatchingForUnreachableDisplay()
{
    qInstallMessageHandler(previousHandler);
}

}  // namespace zandrel
