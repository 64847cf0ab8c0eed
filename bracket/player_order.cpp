#include "bracket/player_order.h"

#include "bracket/tournament_size.h"

#include <cmath>
#include <utility>

namespace zandrel {

namespace {

// r = floor(u * n + 1) in double precision with u widened from single
// precision: for n = 32 the largest u below one gives 32.99999809, so a
// generator that keeps its promise always lands in 1 to n. One that does not
// (1.0, a negative value, NaN) is held to the range instead of writing
// outside the array.
int drawPosition(float u, int n)
{
    const double r = std::floor(static_cast<double>(u) * n + 1.0);
    if (!(r >= 1.0))
        return 1;
    if (r > n)
        return n;
    return static_cast<int>(r);
}

}  // namespace

PlayerOrder initialPlayerOrder(int size)
{
    checkTournamentSize(size);
    PlayerOrder order{};
    for (int k = 1; k <= size; ++k)
        order[k] = k;
    return order;
}

void shufflePlayerOrder(PlayerOrder &playerOrder, int size, const RandomSource &nextRandom)
{
    checkTournamentSize(size);
    for (int n = size; n >= 1; --n) {
        const int r = drawPosition(nextRandom(), n);
        std::swap(playerOrder[r], playerOrder[n]);
    }
}

}  // namespace zandrel
