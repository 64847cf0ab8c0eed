#pragma once
// Documents and web addresses opened with the programs the desktop opens them
// with, never through a command interpreter: the shell's own open call on
// Windows, xdg-open (open on macOS) with the target as its one argument
// elsewhere. xdg-open tells only by its exit status whether it found a
// program and that program took the document, so it is watched, without
// blocking, until it ends; it is left to run when the program ends first.

#include "platform/runtime.h"

#include <QObject>

#include <memory>
#include <string>

namespace zandrel {

class DocumentOpener : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Throws Failure with the system's reason when the system refuses at
    // once; a later refusal shows in the opening it returns.
    std::shared_ptr<const DocumentOpening> open(const std::string &target);

private:
#ifdef Q_OS_UNIX
    void watch(long long process, std::shared_ptr<DocumentOpening> opening, const char *opener);
#endif
};

}  // namespace zandrel
