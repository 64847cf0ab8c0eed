#include "bracket/bracket_opener.h"

#include "bracket/bracket_filler.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "platform/failure.h"
#include "product.h"

namespace zandrel {

namespace {

constexpr int LinkDelaySeconds = 10;

Failure pageNotOpened(const std::string &page, const std::string &reason)
{
    return Failure(FailureNumber::CannotOpenDocument, reason,
                   Notice{"Bracket created in file " + page + ", but it could not be opened:\n" + reason +
                              "\n\nOpen that file with your web browser to see and print it.",
                          "Bracket Not Opened", MessageIcon::Exclamation});
}

}  // namespace

void openBracket(Desktop &desktop, EventLoop &events, const std::string &outputFolder,
                 const std::function<bool()> &stillOpen)
{
    const std::string page = bracketFilePath(outputFolder);
    std::shared_ptr<const DocumentOpening> opening;
    try {
        opening = desktop.openDocument(page);
    } catch (const Failure &failure) {
        throw pageNotOpened(page, failure.description());
    }
    // The window keeps handling its events meanwhile: the user may go on
    // typing, close it or make another bracket inside the wait. A refusal
    // that comes meanwhile is told at once, not ten seconds later.
    events.waitSeconds(LinkDelaySeconds, [&opening] { return !opening->refusal.empty(); });
    if (stillOpen && !stillOpen())
        return;
    if (!opening->refusal.empty())
        throw pageNotOpened(page, opening->refusal);
    try {
        desktop.openDocument(product::WebLink);
    } catch (const Failure &) {
        // The link is the product's, not the user's work: a browser that
        // will not show it is no reason to stop the user with a box.
    }
}

}  // namespace zandrel
