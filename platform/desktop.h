#pragma once
// Documents and web addresses opened with the programs the desktop opens
// them with.

#include <memory>
#include <string>

namespace zandrel {

// A document handed to the system to open. The system may refuse at once,
// which throws, or only later, once the program it started to open the
// document has ended: the refusal then shows here.
struct DocumentOpening {
    // Empty while nothing has refused; otherwise the system's reason, in words.
    std::string refusal;
    // Whether the system has said all it will: it took the document, or the
    // program it started has ended.
    bool finished = false;
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // Has `target`, a file's full path or a web address, opened and returns
    // at once. The target reaches the opening program as written: no
    // interpreter sees it. Throws Failure, with the system's reason, when the
    // system refuses at once.
    virtual std::shared_ptr<const DocumentOpening> openDocument(const std::string &target) = 0;
};

}  // namespace zandrel
