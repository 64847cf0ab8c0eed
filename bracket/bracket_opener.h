#pragma once
// Opening the finished page, and ten seconds later the product's web link,
// with whatever program the desktop associates with them.

#include <functional>
#include <string>

namespace zandrel {

class Desktop;
class EventLoop;

// Has the system open bracket.html in `outputFolder`, waits ten seconds while
// the window stays usable, then has it open the product's web link. When the
// page cannot be opened, at once or during the wait, this throws a Failure
// told in a box that names the page, so that it can be opened by hand, and
// gives the system's reason; no link follows then. `stillOpen` is asked
// after the wait: false when the window has gone meanwhile, and then nothing
// more is said or opened.
void openBracket(Desktop &desktop, EventLoop &events, const std::string &outputFolder,
                 const std::function<bool()> &stillOpen = {});

}  // namespace zandrel
