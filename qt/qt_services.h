#pragma once
// The services on Qt: boxes and the responsive wait here, and every other
// service in a room of its own; QtServices owns one of each and hands them
// out together.

#include "platform/event_loop.h"
#include "platform/messages.h"
#include "platform/seeded_random.h"
#include "platform/services.h"
#include "qt/document_opener.h"
#include "qt/qt_files.h"
#include "qt/qt_places.h"
#include "qt/single_instance.h"
#include "templates/builtin_items.h"

namespace zandrel {

class QtMessages : public Messages {
public:
    // Over the active window; an empty title shows the program's name.
    void showMessage(const Notice &notice) override;
};

class QtEventLoop : public EventLoop {
public:
    void processEvents() override;
    void waitSeconds(int seconds, const std::function<bool()> &until = {}) override;
    void sleepMilliseconds(int milliseconds) override;
};

struct QtServices {
    Services all() { return {messages, places, files, items, random, desktop, events, oneCopy}; }

    QtMessages messages;
    QtPlaces places;
    QtFiles files;
    EmbeddedItems items;
    SeededRandom random;
    DocumentOpener desktop;
    QtEventLoop events;
    SingleInstance oneCopy;
};

}  // namespace zandrel
