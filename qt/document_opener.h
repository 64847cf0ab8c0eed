#pragma once
// Documents and web addresses opened with the programs the desktop opens them
// with, never through a command interpreter: the shell's own open call on
// Windows, xdg-open (open on macOS) with the target as its one argument
// elsewhere. xdg-open tells only by its exit status whether it found a
// program and that program took the document, so it is watched, without
// blocking, until it ends; it is left to run when the program ends first.

#include "platform/desktop.h"

#include <QObject>

#include <memory>
#include <string>

namespace zandrel {

class DocumentOpener : public QObject, public Desktop {
    Q_OBJECT

public:
    using QObject::QObject;

    std::shared_ptr<const DocumentOpening> openDocument(const std::string &target) override;

private:
#ifdef Q_OS_UNIX
    void watch(long long process, std::shared_ptr<DocumentOpening> opening, const char *opener);
#endif
};

}  // namespace zandrel
