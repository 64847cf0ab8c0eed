#pragma once
// One copy of the program runs per user; a later start hands over to it.

#include <string>

namespace zandrel {

class OneCopy {
public:
    virtual ~OneCopy() = default;
    // Called once at start-up: false when another copy already runs.
    virtual bool claim() = 0;
    virtual void release() = 0;
    // Asks the running copy to bring its window titled `title` to the front.
    virtual void activateRunningCopy(const std::string &title) = 0;
};

}  // namespace zandrel
