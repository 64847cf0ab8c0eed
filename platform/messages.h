#pragma once
// Telling the user: modal message boxes.

#include "platform/failure.h"

#include <functional>

namespace zandrel {

class Messages {
public:
    virtual ~Messages() = default;
    // Returns once the user has closed the box.
    virtual void showMessage(const Notice &notice) = 0;
};

// Runs `action` as every window event runs: a failure ends it and is told
// in its box, and the program goes on, so nothing the user typed is lost.
void runTelling(Messages &messages, const std::function<void()> &action);

}  // namespace zandrel
