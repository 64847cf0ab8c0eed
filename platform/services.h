#pragma once
// Every service the program's logic asks of the system, each its own small
// interface: the Qt classes implement them, the tests' fakes stand in for
// them, and a caller takes only those it uses. The main window, which hands
// them out, takes them all here.

#include "platform/builtin_items.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/one_copy.h"
#include "platform/places.h"
#include "platform/random_generator.h"

namespace zandrel {

struct Services {
    Messages &messages;
    Places &places;
    Files &files;
    BuiltInItems &items;
    RandomGenerator &random;
    Desktop &desktop;
    EventLoop &events;
    OneCopy &oneCopy;
};

}  // namespace zandrel
