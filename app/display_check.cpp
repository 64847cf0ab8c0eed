#include "app/display_check.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace zandrel {

namespace {

constexpr const char *Lead = "Zandrel needs a graphical desktop: ";

QtMessageHandler previousHandler = nullptr;

// A platform Qt tried to start, as its loader told: whether its plugin is
// installed at all, or was there and could not reach its display.
struct PlatformTried {
    QString name;
    bool installed;
};
std::vector<PlatformTried> platformsTried;

void notePlatformTried(const QString &text)
{
    for (const bool installed : {false, true}) {
        const QString lead = installed ? QStringLiteral("Could not load the Qt platform plugin \"")
                                       : QStringLiteral("Could not find the Qt platform plugin \"");
        if (const qsizetype at = text.indexOf(lead); at >= 0) {
            const qsizetype from = at + lead.size();
            platformsTried.push_back({text.mid(from, text.indexOf(u'"', from) - from), installed});
        }
    }
}

// What is missing, for the platform Qt tried.
QString whyNot(const PlatformTried &tried)
{
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (tried.name.startsWith(QLatin1String("wayland"))) {
        if (!tried.installed)
            return QStringLiteral("Qt's Wayland support (the platform plugin \"%1\") is not installed").arg(tried.name);
        return wayland.isEmpty() ? QStringLiteral("no Wayland display answers (WAYLAND_DISPLAY is not set)")
                                 : QStringLiteral("the Wayland display WAYLAND_DISPLAY=%1 cannot be opened").arg(wayland);
    }
    if (!tried.installed)
        return QStringLiteral("Qt's platform plugin \"%1\" is not installed").arg(tried.name);
    if (tried.name == QLatin1String("xcb"))
        return QStringLiteral("the display DISPLAY=%1 cannot be opened").arg(display);
    return QStringLiteral("the platform \"%1\" cannot be started").arg(tried.name);
}

void holdBackPlatformFailure(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        // Said as Qt tried: QT_QPA_PLATFORM may name Wayland, or a list, while
        // DISPLAY names an X server that works.
        QStringList reasons;
        for (const PlatformTried &tried : platformsTried)
            reasons << whyNot(tried);
        if (reasons.isEmpty()) {
            const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
            reasons << whyNot({wayland.isEmpty() ? QStringLiteral("xcb") : QStringLiteral("wayland"), true});
        }
        const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM");
        std::fprintf(stderr, "%s%s%s.\n", Lead, qPrintable(reasons.join(QLatin1String("; "))),
                     chosen.isEmpty() ? "" : qPrintable(QStringLiteral(" (QT_QPA_PLATFORM=%1)").arg(chosen)));
        std::_Exit(1);
    }
    // Lines of the platform layer read as the reason for what comes next,
    // which is said in our own words instead.
    if (context.category && QByteArray(context.category).startsWith("qt.qpa")) {
        notePlatformTried(text);
        return;
    }
    // Qt looks at the runtime folder as the application is made, and says
    // what it thinks wrong there in lines of its own; the one thing Zandrel
    // keeps there, the one-copy lock, says what is in its way in one line.
    if (text.startsWith(QLatin1String("QStandardPaths: "))
        && (text.contains(QLatin1String("XDG_RUNTIME_DIR")) || text.contains(QLatin1String("runtime directory"))))
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
