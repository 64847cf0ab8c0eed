#pragma once
// The number of entrants as the command, the filler and the draw take it.

namespace zandrel {

// Throws Failure when `size` is outside 0 to 32: a larger one would name
// slots the draw has no room for, and a page that is not its own.
void checkTournamentSize(int size);

}  // namespace zandrel
