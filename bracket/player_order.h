#pragma once
// The random draw of an unseeded tournament: which name box fills which slot.

#include "platform/tournament.h"

#include <array>
#include <functional>

namespace zandrel {

// playerOrder[k], k = 1 to 32, holds the number of the name box that fills
// slot k, or 0 while the entry is empty. Index 0 is never used, so slot and
// index are the same number.
using PlayerOrder = std::array<int, MaxEntrants + 1>;

// The next value of the program's random generator, in [0, 1).
using RandomSource = std::function<float()>;

// Entries 1 to `size` set to 1 to `size`, the rest empty. Throws Failure when
// `size` is outside 0 to 32.
PlayerOrder initialPlayerOrder(int size);

// Puts entries 1 to `size` into a random order (Fisher-Yates, Durstenfeld's
// form, from the top position down) and leaves the others alone. Takes
// exactly `size` values from `nextRandom`, one per position, even for the
// last, where nothing can move: each draw advances the generator by the size.
// Throws Failure when `size` is outside 0 to 32.
void shufflePlayerOrder(PlayerOrder &playerOrder, int size, const RandomSource &nextRandom);

}  // namespace zandrel
