#pragma once
// The make-bracket command.

namespace zandrel {

class BracketView;
struct CommandServices;

// The program's one productive action: check the three lists, make the page
// for the chosen size and kind, fill it, write bracket.html (beside the
// program, or in the user's folder when the program's cannot be written:
// outputFolder), say so, and open it. A failure on the way throws, told in
// the box it carries.
void makeBracket(const CommandServices &services, BracketView &view);

}  // namespace zandrel
