#pragma once
// Zandrel without its window: --help, --version, a refused command line and
// a page made with --make, each answered on the caller's terminal.

namespace zandrel {

struct CommandLine;

// Does what `line` asks (anything but opening the window) and returns the
// exit status. argc and argv are the program's, for the application object.
int runWithoutWindow(const CommandLine &line, int &argc, char *argv[]);

}  // namespace zandrel
