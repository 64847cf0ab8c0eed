#include "app/page_command.h"

#include "app/command_line.h"
#include "app/console.h"
#include "platform/failure.h"
#include "platform/seeded_random.h"
#include "product.h"
#include "qt/document_opener.h"
#include "qt/qt_files.h"
#include "qt/qt_places.h"
#include "qt/qt_services.h"
#include "templates/builtin_items.h"

#include <QCoreApplication>

#ifdef Q_OS_WIN
#include <objbase.h>
#endif

namespace zandrel {

namespace {

// How long the opener is given to say that it could not open the page: on
// some desktops xdg-open runs until the browser is closed.
constexpr int OpenerWatchSeconds = 3;

const QString Prefix = QStringLiteral("zandrel: ");

void openPage(const std::string &page)
{
#ifdef Q_OS_WIN
    // The shell may hand the page to an extension that needs COM.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
#endif
    DocumentOpener desktop;
    const auto opening = desktop.openDocument(page);
    QtEventLoop().waitSeconds(OpenerWatchSeconds,
                              [&opening] { return opening->finished || !opening->refusal.empty(); });
    if (!opening->refusal.empty())
        throw Failure(FailureNumber::CannotOpenDocument, opening->refusal);
}

// A failure in one line for the terminal: what its own box would say (the
// store's "Unable to get temp file name!" with the reason), else its
// description.
QString oneLine(const Failure &failure)
{
    return QString::fromStdString(failure.hasOwnNotice() ? failure.notice().text : failure.description())
        .replace(u'\n', u' ');
}

// A line of the answer on standard output, or the reason it is not there.
bool printed(const QString &line)
{
    if (writeLine(Stream::Output, line))
        return true;
    writeLine(Stream::Error, Prefix + QStringLiteral("cannot write to standard output"));
    return false;
}

int makePage(const CommandLine &line)
{
    QtPlaces places;
    QtFiles files;
    EmbeddedItems items;
    const auto seed = line.randomSeed;
    SeededRandom random(seed ? SeededRandom::ClockReading([seed] { return *seed; }) : SeededRandom::systemClockReading);
    MadePage made;
    try {
        made = makeRequestedPage({places, files, items, random}, line.request, readStandardInput);
    } catch (const Failure &failure) {
        writeLine(Stream::Error, Prefix + oneLine(failure));
        return ExitFailed;
    }
    for (const std::string &warning : made.warnings)
        writeLine(Stream::Error, Prefix + QStringLiteral("warning: ") + QString::fromStdString(warning));
    if (!printed(QString::fromStdString(made.path)))
        return ExitFailed;
    if (line.openPage) {
        try {
            openPage(made.path);
        } catch (const Failure &failure) {
            writeLine(Stream::Error, Prefix + QString::fromStdString(made.path) +
                                         QStringLiteral(" was made but not opened: ") + oneLine(failure));
            return ExitFailed;
        }
    }
    return ExitMade;
}

}  // namespace

int runWithoutWindow(const CommandLine &line, int &argc, char *argv[])
{
    attachToCallersConsole();
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(product::Name));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(product::Version));
    switch (line.action) {
    case CommandLine::Action::ShowHelp:
        return printed(commandLineHelp().trimmed()) ? ExitMade : ExitFailed;
    case CommandLine::Action::ShowVersion:
        return printed(QStringLiteral("%1 %2").arg(QLatin1String(product::Name), QLatin1String(product::Version)))
                   ? ExitMade
                   : ExitFailed;
    case CommandLine::Action::Refuse:
        writeLine(Stream::Error, Prefix + line.problem + QStringLiteral(" Try 'zandrel --help'."));
        return ExitBadUsage;
    case CommandLine::Action::MakePage:
        return makePage(line);
    case CommandLine::Action::OpenWindow:
        break;
    }
    return ExitBadUsage;
}

}  // namespace zandrel
