#pragma once
// The terminal Zandrel was started from, for what it does without its window.
// On Windows zandrel.exe is a window program: it gets no console of its own,
// and writes to its caller's, or to wherever its output was sent.

#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

namespace zandrel {

// The arguments after the program's name, as the caller wrote them (on
// Windows from the wide command line, so any name survives).
QStringList callersArguments(int argc, char *argv[]);

// Where a window program's output goes: its caller's console when nothing
// else was given to it. Nothing changes elsewhere, or when there is none.
void attachToCallersConsole();

enum class Stream { Output, Error };
// `line` and a line end; in a Windows console as the characters they are.
// False when it could not be written, as to a full disk or a closed pipe.
bool writeLine(Stream stream, const QString &line);

// At most `maxBytes` bytes of standard input, to its end. Throws Failure
// when it cannot be read.
std::vector<unsigned char> readStandardInput(std::size_t maxBytes);

}  // namespace zandrel
