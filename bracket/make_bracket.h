#pragma once
// The make-bracket command.

#include "platform/os_family.h"

namespace zandrel {

class BracketView;
class Runtime;

// The program's one productive action: check the three lists, make the page
// for the chosen size and kind, fill it, write bracket.html (beside the
// program, or in the user's folder when the program's cannot be written:
// outputFolder), say so, and open it. `osFamily` tells which Windows command
// interpreter opens documents; elsewhere it is left unset.
void makeBracket(Runtime &runtime, BracketView &view, const OsFamilySource &osFamily = {});

}  // namespace zandrel
