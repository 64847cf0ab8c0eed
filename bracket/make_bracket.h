#pragma once
// The make-bracket command.

namespace zandrel {

class BracketView;
class Runtime;

// The program's one productive action: check the three lists, make the page
// for the chosen size and kind, fill it, write bracket.html (beside the
// program, or in the user's folder when the program's cannot be written:
// outputFolder), say so, and open it.
void makeBracket(Runtime &runtime, BracketView &view);

}  // namespace zandrel
