// Hand-made streams aimed at the decoder: each well-formed one checks a rule of
// the layout, each corrupt one a single fault and the place it is reported.

#include "platform/failure.h"
#include "templates/comp_lzss3.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using zandrel::Comp_LZSS3::Decompress;

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes text(const std::string &s)
{
    return Bytes(s.begin(), s.end());
}

// Header and streams laid out as in a stored item: F, M, flags, distances,
// length codes, window byte, literals.
Bytes stream(unsigned f, unsigned m, const Bytes &flags, const Bytes &distances, const Bytes &lengths,
             const Bytes &literals, unsigned char window = 16)
{
    const Bytes header{static_cast<unsigned char>(f >> 16), static_cast<unsigned char>(f >> 8),
                       static_cast<unsigned char>(f), static_cast<unsigned char>(m >> 16),
                       static_cast<unsigned char>(m >> 8), static_cast<unsigned char>(m)};
    return header + flags + distances + lengths + Bytes{window} + literals;
}

// The smallest item: "a" and one copy of 3 at distance 1.
const Bytes smallest = stream(0, 0, {0xC0}, {0x00, 0x01, 0x00, 0x00}, {0x00}, {0x61});

TEST(LzssDecoder, ExpandsWellFormedStreams)
{
    const struct {
        const char *name;
        Bytes item;
        Bytes expected;
    } rows[] = {
        {"smallest stream", smallest, text("aaaa")},
        {"distance 1 with length 258", stream(0, 0, {0xC0}, {0x00, 0x01, 0x00, 0x00}, {0xFF}, text("x")),
         Bytes(259, 'x')},
        {"copy that does not overlap", stream(0, 0, {0x30}, {0x00, 0x03, 0x00, 0x00}, {0x00}, text("abc")),
         text("abcabc")},
        {"copy that overlaps its own output", stream(0, 0, {0x60}, {0x00, 0x02, 0x00, 0x00}, {0x02}, text("ab")),
         text("abababa")},
        {"literals and copies interleaved in token order",
         stream(0, 1, {0x58}, {0x00, 0x02, 0x00, 0x04, 0x00, 0x00}, {0x00, 0x01}, text("abc")),
         text("ababacabac")},
        {"flags running into a second byte",
         stream(1, 0, {0x00, 0x60}, {0x00, 0x0A, 0x00, 0x00}, {0x07}, text("abcdefghij")),
         text("abcdefghijabcdefghij")},
        {"copy reaching back to the first byte exactly",
         stream(0, 0, {0x30}, {0x00, 0x03, 0x00, 0x00}, {0x01}, text("xyz")), text("xyzxyzx")},
        {"three zero bytes of padding", smallest + Bytes{0, 0, 0}, text("aaaa")},
        {"padding that is not zero", smallest + Bytes{0xFF, 0x01}, text("aaaa")},
        {"window byte other than 16", stream(0, 0, {0xC0}, {0x00, 0x01, 0x00, 0x00}, {0x00}, text("a"), 0x20),
         text("aaaa")},
        {"tokens left after an early end marker",
         stream(0, 1, {0xC0}, {0x00, 0x01, 0x00, 0x00, 0x00, 0x05}, {0x00, 0x09}, text("aQRS")), text("aaaa")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        Bytes item = row.item;
        Decompress(item);
        EXPECT_EQ(item, row.expected);
    }
}

TEST(LzssDecoder, RefusesCorruptStreamsSayingWhereAndLeavingTheItemAlone)
{
    const struct {
        const char *name;
        Bytes item;
        std::string fault;
    } rows[] = {
        {"empty item", {}, "ends inside its 6-byte header, at byte 0"},
        {"header cut short", Bytes{0, 0, 0, 0, 0}, "ends inside its 6-byte header, at byte 5"},
        {"flag count past the end", stream(0x00FFFF, 0, {0xC0}, {0x00, 0x01, 0x00, 0x00}, {0x00}, text("a")),
         "stream sizes in the header run past the item's end, at byte 14 (the literals would start at byte 65548)"},
        {"back-reference count past the end",
         stream(0, 0xFFFFFF, {0xC0}, {0x00, 0x01, 0x00, 0x00}, {0x00}, text("a")),
         "stream sizes in the header run past the item's end, at byte 14"},
        {"no leading literal", Bytes(smallest.begin(), smallest.end() - 1), "literal stream runs out, at byte 13"},
        {"literals run out before the end marker",
         stream(0, 0, {0x20}, {0x00, 0x01, 0x00, 0x00}, {0x00}, text("a")), "literal stream runs out, at byte 14"},
        {"missing end marker", stream(0, 0, {0x00}, {0x00, 0x01, 0x00, 0x00}, {0x00}, text("abcdefghi")),
         "flag stream runs out before the end marker, at byte 7"},
        {"end marker distance not zero", stream(0, 0, {0xC0}, {0x00, 0x01, 0x00, 0x01}, {0x00}, text("a")),
         "length stream runs out, at byte 12"},
        {"distance reaching one byte before the first",
         stream(0, 0, {0xC0}, {0x00, 0x02, 0x00, 0x00}, {0x00}, text("a")),
         "a distance reaches before the first byte, at byte 7 (distance 2 with 1 byte written)"},
        {"largest distance in the second copy",
         stream(0, 1, {0xE0}, {0x00, 0x01, 0xFF, 0xFF, 0x00, 0x00}, {0x00, 0x00}, text("a")),
         "a distance reaches before the first byte, at byte 9 (distance 65535 with 4 bytes written)"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        Bytes item = row.item;
        try {
            Decompress(item);
            ADD_FAILURE() << "expanded without a failure";
        } catch (const zandrel::Failure &failure) {
            EXPECT_EQ(failure.number(), zandrel::FailureNumber::CorruptItem);
            EXPECT_THAT(failure.description(), ::testing::StartsWith("Built-in item is corrupt: "));
            EXPECT_THAT(failure.description(), ::testing::HasSubstr(row.fault));
        }
        EXPECT_EQ(item, row.item);
    }
}

}  // namespace
