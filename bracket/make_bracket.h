#pragma once
// The make-bracket command.

#include "bracket/bracket_filler.h"

#include <string>
#include <string_view>

namespace zandrel {

class BracketView;
class BuiltInItems;
class Files;
struct CommandServices;

// The finished page's bytes for a size (3 to 32), kind and seeding: the built-in
// page for them taken from the store and filled with the title and the names.
// The window and the command line both make their pages here, so the same
// choices give the same bytes.
std::string makeBracketPage(Files &files, BuiltInItems &items, int size, TournamentKind kind, Seeding seeding,
                            std::string_view title, const PlayerNameSource &playerName,
                            const RandomSource &nextRandom);

// The program's one productive action: check the three lists, make the page
// for the chosen size and kind, fill it, write bracket.html (beside the
// program, or in the user's folder when the program's cannot be written:
// outputFolder), say so, and open it. A failure on the way throws, told in
// the box it carries.
void makeBracket(const CommandServices &services, BracketView &view);

}  // namespace zandrel
