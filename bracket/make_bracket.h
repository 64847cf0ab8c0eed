#pragma once

namespace zandrel {

class BracketView;
class Runtime;

// The program's one productive action: check the three lists, make the page
// for the chosen size and kind, fill it, write bracket.html beside the program
// and open it.
void MakeBracket(Runtime &runtime, BracketView &view);

}  // namespace zandrel
