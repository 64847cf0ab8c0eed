#pragma once
// The number of entrants as the filler and the draw read it.

#include <string_view>

namespace zandrel {

// The size list's text as a number. The list offers "3" to "32"; any text
// that is not a plain whole number from 0 to 32 throws Failure, since a
// larger one would name slots the draw has no room for.
int parseTournamentSize(std::string_view sizeText);

// Throws the same Failure when `size` is outside 0 to 32.
void checkTournamentSize(int size);

}  // namespace zandrel
