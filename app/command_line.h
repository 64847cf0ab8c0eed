#pragma once
// What Zandrel is asked to do by its command line: open its window, as it
// does without options, answer --help or --version, or make a page without
// the window (--make).

#include "bracket/bracket_request.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace zandrel {

struct CommandLine {
    enum class Action { OpenWindow, ShowHelp, ShowVersion, MakePage, Refuse };

    Action action = Action::OpenWindow;
    // MakePage: the page, with its files as full paths.
    BracketRequest request;
    std::optional<std::uint64_t> randomSeed;
    bool openPage = false;
    // Refuse: what is wrong, in one line.
    QString problem;
};

// Exit statuses, as a script reads them.
inline constexpr int ExitMade = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitBadUsage = 2;

// `arguments` after the program's name. Qt's own options for any window
// (-platform, -style, -session and the rest, with one dash) are the window's,
// and passed over here; with nothing else the window opens.
CommandLine parseCommandLine(const QStringList &arguments);

// What --help prints.
QString commandLineHelp();

}  // namespace zandrel
