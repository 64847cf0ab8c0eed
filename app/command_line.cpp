#include "app/command_line.h"

#include "platform/tournament.h"
#include "qt/qt_text.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <limits>

namespace zandrel {

namespace {

// Qt reads these for the window (QGuiApplication and QApplication); a
// session manager restarts a program with -session, for one.
constexpr std::array QtOptionsWithValue = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                           "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                           "display", "geometry", "style", "stylesheet"};
constexpr std::array QtFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
constexpr std::array QtOptionsWithEquals = {"style", "stylesheet", "qmljsdebugger", "dialogs", "fontengine"};

template <std::size_t N>
bool among(const std::array<const char *, N> &names, const QString &name)
{
    return std::any_of(names.begin(), names.end(), [&name](const char *n) { return name == QLatin1String(n); });
}

// Our own arguments: the list without Qt's window options and their values.
QStringList withoutQtOptions(const QStringList &arguments)
{
    QStringList ours;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--")) {
            ours += arguments.mid(i);
            break;
        }
        const bool singleDash = argument.size() > 2 && argument[0] == u'-' && argument[1] != u'-';
        const QString name = argument.mid(1);
        if (singleDash && among(QtOptionsWithValue, name) && i + 1 < arguments.size())
            ++i;
        else if (!(singleDash && (among(QtFlags, name) || among(QtOptionsWithEquals, name.section(u'=', 0, 0)))))
            ours += argument;
    }
    return ours;
}

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Show the version and exit.")};
    QCommandLineOption make{QStringLiteral("make"),
                            QStringLiteral("Make a bracket page without the window and print its full path.")};
    QCommandLineOption title{QStringLiteral("title"), QStringLiteral("The tournament's title (none by default)."),
                             QStringLiteral("TEXT")};
    QCommandLineOption size{QStringLiteral("size"),
                            QStringLiteral("Entrants, %1 to %2 (by default, as many as --names gives).")
                                .arg(MinEntrants)
                                .arg(MaxEntrants),
                            QStringLiteral("N")};
    QCommandLineOption doubleElimination{QStringLiteral("double"),
                                         QStringLiteral("Double elimination (single by default).")};
    QCommandLineOption unseeded{QStringLiteral("unseeded"),
                                QStringLiteral("Draw the order at random (by default, seeded in the order given).")};
    QCommandLineOption names{QStringLiteral("names"),
                             QStringLiteral("One name per line, like players.txt; - reads standard input. "
                                            "Slots without a name show Player 1, Player 2, ..."),
                             QStringLiteral("FILE")};
    QCommandLineOption randomSeed{QStringLiteral("random-seed"),
                                  QStringLiteral("Make the unseeded draw repeatable: the same N, the same draw."),
                                  QStringLiteral("N")};
    QCommandLineOption output{QStringLiteral("output"),
                              QStringLiteral("Where to write the page (by default, bracket.html where the window "
                                             "writes it). An existing file is replaced."),
                              QStringLiteral("PATH")};
    QCommandLineOption open{QStringLiteral("open"), QStringLiteral("Open the page with the web browser.")};

    // Those that mean nothing without --make.
    std::array<const QCommandLineOption *, 8> pageOptions() const
    {
        return {&title, &size, &doubleElimination, &unseeded, &names, &randomSeed, &output, &open};
    }
};

QCommandLineParser &parserWith(QCommandLineParser &parser, const Options &options)
{
    parser.setApplicationDescription(
        QStringLiteral("Makes a printable tournament bracket as an HTML page. Without options, opens its window."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const QCommandLineOption *option : {&options.help, &options.version, &options.make})
        parser.addOption(*option);
    for (const QCommandLineOption *option : options.pageOptions())
        parser.addOption(*option);
    return parser;
}

// A path as given, from the current folder, as the system writes it.
std::string fullPath(const QString &path)
{
    return nativePath(QFileInfo(path).absoluteFilePath());
}

CommandLine answer(CommandLine::Action action, const QString &problem = {})
{
    CommandLine line;
    line.action = action;
    line.problem = problem;
    return line;
}

CommandLine refused(const QString &problem)
{
    return answer(CommandLine::Action::Refuse, problem);
}

}  // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    const QStringList ours = withoutQtOptions(arguments);
    if (ours.isEmpty())
        return {};
    const Options options;
    QCommandLineParser parser;
    if (!parserWith(parser, options).parse(QStringList{QStringLiteral("zandrel")} + ours))
        return refused(parser.errorText());
    if (parser.isSet(options.help))
        return answer(CommandLine::Action::ShowHelp);
    if (parser.isSet(options.version))
        return answer(CommandLine::Action::ShowVersion);
    if (!parser.positionalArguments().isEmpty())
        return refused(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (!parser.isSet(options.make)) {
        for (const QCommandLineOption *option : options.pageOptions())
            if (parser.isSet(*option))
                return refused(QStringLiteral("--%1 needs --make.").arg(option->names().constLast()));
    }

    CommandLine line;
    line.action = CommandLine::Action::MakePage;
    BracketRequest &request = line.request;
    request.title = parser.value(options.title).toStdString();
    if (parser.isSet(options.size)) {
        bool ok = false;
        const int size = parser.value(options.size).toInt(&ok);
        if (!ok || size < MinEntrants || size > MaxEntrants)
            return refused(QStringLiteral("--size must be a whole number from %1 to %2, not '%3'.")
                               .arg(MinEntrants)
                               .arg(MaxEntrants)
                               .arg(parser.value(options.size)));
        request.size = size;
    }
    if (parser.isSet(options.doubleElimination))
        request.kind = TournamentKind::DoubleElimination;
    if (parser.isSet(options.unseeded))
        request.seeding = Seeding::Drawn;
    if (parser.isSet(options.names)) {
        const QString names = parser.value(options.names);
        request.namesFile = (names == QLatin1String(StandardInputName) ? names.toStdString() : fullPath(names));
    }
    if (!request.size && !request.namesFile)
        return refused(QStringLiteral("--make needs --size, or --names to count the entrants."));
    if (parser.isSet(options.randomSeed)) {
        bool ok = false;
        line.randomSeed = parser.value(options.randomSeed).toULongLong(&ok);
        if (!ok)
            return refused(QStringLiteral("--random-seed must be a whole number from 0 to %1, not '%2'.")
                               .arg(std::numeric_limits<std::uint64_t>::max())
                               .arg(parser.value(options.randomSeed)));
    }
    if (parser.isSet(options.output)) {
        const QString output = parser.value(options.output);
        if (output.isEmpty())
            return refused(QStringLiteral("--output needs a file name."));
        request.outputFile = fullPath(output);
    }
    line.openPage = parser.isSet(options.open);
    return line;
}

QString commandLineHelp()
{
    const Options options;
    QCommandLineParser parser;
    parserWith(parser, options);
    return parser.helpText();
}

}  // namespace zandrel
