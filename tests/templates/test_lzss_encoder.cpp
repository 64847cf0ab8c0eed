// The compressor behind the stored items: whatever it accepts must come back
// byte for byte through the program's decoder, in the exact layout every item
// keeps, and what it refuses it must refuse cleanly.

#include "templates/comp_lzss3.h"
#include "templates/lzss_encoder.h"
#include "tests/templates/test_lzss_layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using zandrel::lzss::compressItem;
using zandrel::testing::checkLayout;
using zandrel::testing::LargestDistance;
using zandrel::testing::streamNumber;

Bytes randomBytes(std::size_t n, std::uint32_t seed, int alphabet = 256)
{
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(0, alphabet - 1);
    Bytes b(n);
    for (auto &c : b)
        c = static_cast<unsigned char>(byte(gen));
    return b;
}

// A text of `n` bytes in which no three bytes occur twice, followed by its own
// first `tail` bytes: the only repeat is the tail, at distance n.
Bytes repeatAtDistance(std::size_t n, std::size_t tail)
{
    std::mt19937 gen(7);
    std::set<std::uint32_t> seen;
    const auto key = [](unsigned a, unsigned b, unsigned c) { return (a << 16) | (b << 8) | c; };
    Bytes b;
    while (b.size() < n) {
        const auto c = static_cast<unsigned char>(gen());
        const std::size_t i = b.size();
        std::vector<std::uint32_t> grams;
        if (i >= 2)
            grams.push_back(key(b[i - 2], b[i - 1], c));
        if (i == n - 1)  // the grams that run from the end into the repeated tail
            grams.insert(grams.end(), {key(b[i - 1], c, b[0]), key(c, b[0], b[1])});
        bool fresh = std::set<std::uint32_t>(grams.begin(), grams.end()).size() == grams.size();
        for (auto g : grams)
            fresh = fresh && !seen.count(g);
        if (!fresh)
            continue;
        seen.insert(grams.begin(), grams.end());
        b.push_back(c);
    }
    b.insert(b.end(), b.begin(), b.begin() + static_cast<std::ptrdiff_t>(tail));
    return b;
}

Bytes text(const std::string &s)
{
    return Bytes(s.begin(), s.end());
}

TEST(LzssEncoder, RoundTripsInTheStoredLayout)
{
    Bytes runs;
    for (int i = 0; i < 200; ++i)
        runs.insert(runs.end(), static_cast<std::size_t>(1 + i * 37 % 600), static_cast<unsigned char>(i % 3));
    Bytes markup;
    for (int i = 0; i < 3000; ++i) {
        const std::string cell = "<td width=" + std::to_string(i % 7 * 40) + " style='border:solid 1.0pt'>&nbsp;</td>\r\n";
        markup.insert(markup.end(), cell.begin(), cell.end());
    }
    Bytes farApart = randomBytes(30000, 3);
    farApart.insert(farApart.end(), farApart.begin() + 10000, farApart.begin() + 10400);

    const struct {
        const char *name;
        Bytes input;
    } rows[] = {
        {"four equal bytes", text("aaaa")},
        {"repeat only at the very end", text("abcdefabc")},
        {"long run of one byte", Bytes(100000, 'x')},
        {"runs of varied lengths", runs},
        {"random bytes", randomBytes(50000, 1)},
        {"random over a small alphabet", randomBytes(50000, 2, 4)},
        {"repetitive markup", markup},
        {"a block repeated beyond the window", farApart},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes item = compressItem(row.input);
        checkLayout(item);
        EXPECT_EQ(zandrel::Comp_LZSS3::decompressed(item), row.input);
    }
}

TEST(LzssEncoder, CodesARunWithTheFewestCopies)
{
    // One leading literal, then copies of 258 at distance 1 and one shorter rest.
    for (const std::size_t n : {4u, 259u, 260u, 262u, 10000u}) {
        SCOPED_TRACE(n);
        const Bytes item = compressItem(Bytes(n, 'z'));
        const std::size_t copies = streamNumber(item, 3, 3) + 1;
        const std::size_t rest = (n - 1) % 258;
        EXPECT_EQ(copies, (n - 1) / 258 + (rest >= 3 ? 1 : 0));
    }
}

TEST(LzssEncoder, ReachesBackExactlyAsFarAsTheWindow)
{
    const Bytes inside = repeatAtDistance(LargestDistance, 8);
    const Bytes item = compressItem(inside);
    EXPECT_THAT(checkLayout(item), ::testing::ElementsAre(LargestDistance));
    EXPECT_EQ(zandrel::Comp_LZSS3::decompressed(item), inside);

    EXPECT_THROW(compressItem(repeatAtDistance(LargestDistance + 1, 8)), std::invalid_argument);
}

TEST(LzssEncoder, RefusesInputThatNoItemCanHold)
{
    const struct {
        const char *name;
        Bytes input;
        const char *reason;
    } rows[] = {
        {"empty", {}, "empty"},
        {"single byte", text("a"), "no repeat"},
        {"three equal bytes", text("aaa"), "no repeat"},
        {"only two bytes repeat", text("abxab"), "no repeat"},
        {"no three bytes twice", repeatAtDistance(2000, 0), "no repeat"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            compressItem(row.input);
            ADD_FAILURE() << "compressed";
        } catch (const std::invalid_argument &e) {
            EXPECT_THAT(e.what(), ::testing::HasSubstr(row.reason));
        }
    }
}

}  // namespace
