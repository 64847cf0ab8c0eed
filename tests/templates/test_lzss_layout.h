#pragma once
// Reads a stored item's layout without the decoder and checks the rules every
// item keeps, for the tests of the compressor and of the shipped catalogue.

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace zandrel::testing {

// The farthest back an item may reach: just below its 16 KiB window.
inline constexpr std::size_t LargestDistance = 16383;

// The big-endian number of `bytes` bytes at `at`.
inline std::size_t streamNumber(const std::vector<unsigned char> &b, std::size_t at, int bytes)
{
    std::size_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return v;
}

// Checks the layout and returns the back-reference distances in order.
inline std::vector<std::size_t> checkLayout(const std::vector<unsigned char> &item)
{
    EXPECT_EQ(item.size() % 4, 0u) << "padded to a multiple of 4";
    const std::size_t f = streamNumber(item, 0, 3);
    const std::size_t m = streamNumber(item, 3, 3);
    const std::size_t distanceStart = f + 7;
    const std::size_t lengthStart = 2 * m + f + 11;
    EXPECT_EQ(item.at(3 * m + f + 12), 16) << "window byte";

    // m+1 back-references and the end marker, whose bit is the last one set
    // and lies in the last flag byte.
    std::size_t ones = 0;
    std::size_t lastOne = 0;
    for (std::size_t bit = 0; bit < 8 * (f + 1); ++bit) {
        if (item.at(6 + bit / 8) & (0x80u >> (bit % 8))) {
            ++ones;
            lastOne = bit;
        }
    }
    EXPECT_EQ(ones, m + 2) << "back-references plus the end marker";
    EXPECT_EQ(lastOne / 8, f) << "end marker in the last flag byte";

    std::vector<std::size_t> distances;
    for (std::size_t i = 0; i <= m; ++i) {
        const std::size_t d = streamNumber(item, distanceStart + 2 * i, 2);
        EXPECT_GE(d, 1u);
        EXPECT_LE(d, LargestDistance);
        distances.push_back(d);
    }
    EXPECT_EQ(streamNumber(item, lengthStart - 2, 2), 0u) << "end marker closes the distances";

    // Flagged tokens that are not copies are literals, and so is the leading
    // one; after them only zero padding, less than 4 bytes, may follow.
    const std::size_t literalsEnd = 3 * m + f + 13 + 1 + lastOne - (m + 1);
    EXPECT_LE(literalsEnd, item.size());
    EXPECT_LT(item.size() - literalsEnd, 4u);
    for (std::size_t i = literalsEnd; i < item.size(); ++i)
        EXPECT_EQ(item[i], 0) << "padding at " << i;
    return distances;
}

}  // namespace zandrel::testing
