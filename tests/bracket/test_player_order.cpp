#include "bracket/player_order.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace zandrel {
namespace {

std::vector<int> drawn(int size, std::vector<float> values, int *taken = nullptr)
{
    PlayerOrder order = initialPlayerOrder(size);
    std::size_t next = 0;
    ShufflePlayerOrder(order, size, [&] { return values[std::min(next++, values.size() - 1)]; });
    if (taken)
        *taken = static_cast<int>(next);
    EXPECT_TRUE(std::all_of(order.begin() + size + 1, order.end(), [](int entry) { return entry == 0; }));
    return std::vector<int>(order.begin() + 1, order.begin() + size + 1);
}

std::vector<int> upTo(int size)
{
    std::vector<int> numbers(static_cast<std::size_t>(size));
    std::iota(numbers.begin(), numbers.end(), 1);
    return numbers;
}

TEST(ShufflePlayerOrder, GeneratorValuesPickTheirPositions)
{
    const float justBelowOne = std::nextafter(1.0f, 0.0f);
    const struct {
        const char *name;
        int size;
        std::vector<float> values;
        std::vector<int> expected;
    } cases[] = {
        // r = 1 at every step: positions 4, 3, 2, 1 each swap with position 1.
        {"zeros_4", 4, {0}, {2, 3, 4, 1}},
        // r = n at every step: nothing moves; n = 32 gives 32.99999809, still 32.
        {"just_below_one_4", 4, {justBelowOne}, upTo(4)},
        {"just_below_one_32", 32, {justBelowOne}, upTo(32)},
        // 0.5 → r = 3: swap 3, 4; 0 → r = 1: swap 1, 3; 0.99 → r = 2; the last r is 1.
        {"mixed_4", 4, {0.5f, 0.0f, 0.99f, 0.7f}, {4, 2, 1, 3}},
        // A generator outside [0, 1) is held to the array.
        {"one_and_above", 4, {1.0f, 2.5f}, upTo(4)},
        {"negative_and_nan", 4, {-0.25f, std::nanf("")}, {2, 3, 4, 1}},
    };
    for (const auto &c : cases) {
        int taken = 0;
        EXPECT_THAT(drawn(c.size, c.values, &taken), ::testing::ElementsAreArray(c.expected)) << c.name;
        EXPECT_EQ(taken, c.size) << c.name;
    }
}

}  // namespace
}  // namespace zandrel
