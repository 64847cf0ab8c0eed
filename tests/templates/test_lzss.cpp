// The stored items' codec. Hand-made streams aimed at the decoder: each
// well-formed one checks a rule of the layout, each corrupt one a single fault
// and the place it is reported. Whatever the compressor (and the build's tool
// around it) accepts must come back byte for byte in the layout every item
// keeps, and so must the 62 shipped items, found by number and type name.

#include "platform/failure.h"
#include "templates/builtin_items.h"
#include "templates/comp_lzss3.h"
#include "templates/lzss_encoder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using zandrel::Comp_LZSS3::decompressed;
using zandrel::lzss::compressItem;

// The farthest back an item may reach: just below its 16 KiB window.
constexpr std::size_t LargestDistance = 16383;

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes text(const std::string &s)
{
    return Bytes(s.begin(), s.end());
}

std::string fileText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The big-endian number of `bytes` bytes at `at`.
std::size_t number(const Bytes &b, std::size_t at, int bytes)
{
    std::size_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return v;
}

// Header and streams as a stored item lays them out: F, M, flags, distances,
// length codes, window byte, literals.
Bytes stream(unsigned f, unsigned m, const Bytes &flags, const Bytes &distances, const Bytes &lengths,
             const Bytes &literals, unsigned char window = 16)
{
    using u8 = unsigned char;
    return Bytes{u8(f >> 16), u8(f >> 8), u8(f), u8(m >> 16), u8(m >> 8), u8(m)} + flags + distances + lengths
           + Bytes{window} + literals;
}

// Checks the layout every stored item keeps; returns its back-reference distances in order.
std::vector<std::size_t> checkLayout(const Bytes &item)
{
    EXPECT_EQ(item.size() % 4, 0u) << "padded to a multiple of 4";
    const std::size_t f = number(item, 0, 3), m = number(item, 3, 3);
    EXPECT_EQ(item.at(3 * m + f + 12), 16) << "window byte";

    // m+1 back-references and the end marker, whose bit is the last one set
    // and lies in the last flag byte.
    std::size_t ones = 0, lastOne = 0;
    for (std::size_t bit = 0; bit < 8 * (f + 1); ++bit)
        if (item.at(6 + bit / 8) & (0x80u >> (bit % 8))) {
            ++ones;
            lastOne = bit;
        }
    EXPECT_EQ(ones, m + 2) << "back-references plus the end marker";
    EXPECT_EQ(lastOne / 8, f) << "end marker in the last flag byte";

    std::vector<std::size_t> distances;
    for (std::size_t i = 0; i <= m; ++i)
        distances.push_back(number(item, f + 7 + 2 * i, 2));
    EXPECT_THAT(distances, ::testing::Each(::testing::AllOf(::testing::Ge(1u), ::testing::Le(LargestDistance))));
    EXPECT_EQ(number(item, f + 7 + 2 * (m + 1), 2), 0u) << "end marker closes the distances";

    // Flagged tokens that are not copies are literals, and so is the leading
    // one; after them only zero padding, less than 4 bytes, may follow.
    const std::size_t literalsEnd = 3 * m + f + 13 + 1 + lastOne - (m + 1);
    EXPECT_LE(literalsEnd, item.size());
    EXPECT_LT(item.size() - literalsEnd, 4u);
    for (std::size_t i = literalsEnd; i < item.size(); ++i)
        EXPECT_EQ(item[i], 0) << "padding at " << i;
    return distances;
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
        {"copy that overlaps its own output", stream(0, 0, {0x60}, {0x00, 0x02, 0x00, 0x00}, {0x02}, text("ab")),
         text("abababa")},
        {"literals and copies interleaved in token order, one copy not overlapping",
         stream(0, 1, {0x58}, {0x00, 0x02, 0x00, 0x04, 0x00, 0x00}, {0x00, 0x01}, text("abc")),
         text("ababacabac")},
        {"flags running into a second byte",
         stream(1, 0, {0x00, 0x60}, {0x00, 0x0A, 0x00, 0x00}, {0x07}, text("abcdefghij")),
         text("abcdefghijabcdefghij")},
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
        zandrel::Comp_LZSS3::Decompress(item);
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
            zandrel::Comp_LZSS3::Decompress(item);
            ADD_FAILURE() << "expanded without a failure";
        } catch (const zandrel::Failure &failure) {
            EXPECT_EQ(failure.number(), zandrel::FailureNumber::CorruptItem);
            EXPECT_THAT(failure.description(), ::testing::StartsWith("Built-in item is corrupt: "));
            EXPECT_THAT(failure.description(), ::testing::HasSubstr(row.fault));
        }
        EXPECT_EQ(item, row.item);
    }
}

Bytes randomBytes(std::size_t n, std::uint32_t seed, unsigned alphabet = 256)
{
    std::mt19937 gen(seed);
    Bytes b(n);
    for (auto &c : b)
        c = static_cast<unsigned char>(gen() % alphabet);
    return b;
}

// The first `n` bytes of the big-endian 16-bit counts 0, 1, 2, ... (below
// 0xFF00, no three bytes of them occur twice), followed by their own first
// `tail` bytes: the only repeat is the tail, at distance n.
Bytes repeatAtDistance(std::size_t n, std::size_t tail)
{
    Bytes b;
    for (unsigned count = 0; b.size() < n; ++count)
        b.insert(b.end(), {static_cast<unsigned char>(count >> 8), static_cast<unsigned char>(count)});
    b.resize(n);
    return b + Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(tail));
}

TEST(LzssEncoder, RoundTripsInTheStoredLayoutOrRefusesWhatNoItemCanHold)
{
    Bytes runs, markup;
    for (int i = 0; i < 200; ++i)
        runs.insert(runs.end(), static_cast<std::size_t>(1 + i * 37 % 600), static_cast<unsigned char>(i % 3));
    for (int i = 0; i < 3000; ++i) {
        const std::string cell =
            "<td width=" + std::to_string(i % 7 * 40) + " style='border:solid 1.0pt'>&nbsp;</td>\r\n";
        markup.insert(markup.end(), cell.begin(), cell.end());
    }
    Bytes farApart = randomBytes(30000, 3);
    farApart.insert(farApart.end(), farApart.begin() + 10000, farApart.begin() + 10400);

    const struct {
        const char *name;
        Bytes input;
        const char *refusal;  // null: must round-trip
    } rows[] = {
        {"four equal bytes", text("aaaa"), nullptr},
        {"repeat only at the very end", text("abcdefabc"), nullptr},
        {"long run of one byte", Bytes(100000, 'x'), nullptr},
        {"runs of varied lengths", runs, nullptr},
        {"random bytes", randomBytes(50000, 1), nullptr},
        {"random over a small alphabet", randomBytes(50000, 2, 4), nullptr},
        {"repetitive markup", markup, nullptr},
        {"a block repeated beyond the window", farApart, nullptr},
        {"the only repeat at the window's edge", repeatAtDistance(LargestDistance, 8), nullptr},
        {"empty", {}, "empty"},
        {"single byte", text("a"), "no repeat"},
        {"three equal bytes", text("aaa"), "no repeat"},
        {"only two bytes repeat", text("abxab"), "no repeat"},
        {"no three bytes twice", repeatAtDistance(2000, 0), "no repeat"},
        {"the only repeat one byte beyond the window", repeatAtDistance(LargestDistance + 1, 8), "no repeat"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            const Bytes item = compressItem(row.input);
            EXPECT_EQ(row.refusal, nullptr) << "compressed";
            checkLayout(item);
            EXPECT_EQ(decompressed(item), row.input);
        } catch (const std::invalid_argument &e) {
            ASSERT_NE(row.refusal, nullptr) << e.what();
            EXPECT_THAT(e.what(), ::testing::HasSubstr(row.refusal));
        }
    }
}

TEST(LzssEncoder, ReachesBackExactlyAsFarAsTheWindow)
{
    const Bytes item = compressItem(repeatAtDistance(LargestDistance, 8));
    EXPECT_THAT(checkLayout(item), ::testing::ElementsAre(LargestDistance));
}

TEST(LzssEncoder, CodesARunWithTheFewestCopies)
{
    // One leading literal, then copies of 258 at distance 1 and one shorter rest.
    for (const std::size_t n : {4u, 259u, 260u, 262u, 10000u}) {
        SCOPED_TRACE(n);
        const std::size_t rest = (n - 1) % 258;
        EXPECT_EQ(number(compressItem(Bytes(n, 'z')), 3, 3) + 1, (n - 1) / 258 + (rest >= 3 ? 1 : 0));
    }
}

TEST(Catalogue, EveryStoredItemIsAWellFormedStreamOfItsPage)
{
    for (int item = 101; item <= 162; ++item) {
        SCOPED_TRACE(item);
        const auto stored = zandrel::BuiltInItem(item, "Custom");
        checkLayout(Bytes(stored.begin(), stored.end()));
        const Bytes page = text(fileText(ZANDREL_PAGES_DIR "/" + std::to_string(item) + ".htm"));
        ASSERT_FALSE(page.empty());
        EXPECT_EQ(decompressed(stored), page);
    }
}

TEST(Catalogue, FindsItemsByNumberAndTypeNameInAnyCase)
{
#ifdef ZANDREL_CARRIES_HELP
    constexpr bool carriesHelp = true;
#else
    constexpr bool carriesHelp = false;
#endif
    const struct {
        const char *name;
        int number;
        const char *typeName;
        bool found;
    } rows[] = {
        {"type as filed", 103, "Custom", true},
        {"type in capitals", 162, "CUSTOM", true},
        {"type in small letters", 133, "custom", true},
        {"other type", 103, "Bitmap", false},
        {"type with a trailing space", 103, "Custom ", false},
        {"help file, only once the build carries it", 163, "Custom", carriesHelp},
        {"below the catalogue", 100, "Custom", false},
        {"negative number", -103, "Custom", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            EXPECT_FALSE(zandrel::BuiltInItem(row.number, row.typeName).empty());
            EXPECT_TRUE(row.found) << "found an item";
        } catch (const zandrel::Failure &failure) {
            EXPECT_FALSE(row.found) << failure.description();
            EXPECT_EQ(failure.number(), zandrel::FailureNumber::MissingItem);
            EXPECT_THAT(failure.description(), ::testing::HasSubstr(std::to_string(row.number)));
        }
    }
}

// The build's `lzss` tool as the build calls it: exit status, one line on
// standard error, and no output file left behind by a failure.
class LzssTool : public ::testing::Test {
protected:
    LzssTool() { fs::create_directories(m_folder); }
    ~LzssTool() override { fs::remove_all(m_folder); }

    std::string path(const std::string &name) const { return (m_folder / name).string(); }

    // The tool as the build names it; a Windows build run under Wine gets a
    // path of the host, which Windows reaches through drive Z:.
    static std::string tool()
    {
        std::string name = ZANDREL_LZSS_TOOL;
#ifdef _WIN32
        std::replace(name.begin(), name.end(), '/', '\\');
        if (name.starts_with('\\'))
            name = "Z:" + name;
#endif
        return name;
    }

    // Runs `lzss command in out` on files of the folder; returns the exit
    // status and puts the standard error in `errors`.
    int run(const std::string &command, const std::string &in, const std::string &out, std::string &errors) const
    {
        std::string line = "\"" + tool() + "\" " + command + " \"" + path(in) + "\" \"" + path(out) + "\" 2> \""
                           + path("stderr.txt") + "\"";
#ifdef _WIN32
        // cmd takes off the first and the last quote of a line that has more.
        line = "\"" + line + "\"";
#endif
        const int status = std::system(line.c_str());
        errors = fileText(path("stderr.txt"));
        return status;
    }

    const fs::path m_folder =
        fs::temp_directory_path() / ("zandrel-lzss-tool-" + std::to_string(std::random_device{}()));
};

TEST_F(LzssTool, CompressesAndExpandsAPageBackToItself)
{
    const std::string page = "<tr><td>PLAYER 1</td></tr>\r\n<tr><td>PLAYER 2</td></tr>\r\n";
    std::ofstream(path("page.htm"), std::ios::binary) << page;
    std::string errors;

    ASSERT_EQ(run("compress", "page.htm", "page.bin", errors), 0) << errors;
    EXPECT_EQ(fileText(path("page.bin")).size() % 4, 0u);
    ASSERT_EQ(run("decompress", "page.bin", "back.htm", errors), 0) << errors;
    EXPECT_EQ(fileText(path("back.htm")), page);
    EXPECT_EQ(errors, "");
}

TEST_F(LzssTool, FailsWithOneLineAndNoOutput)
{
    const struct {
        const char *name;
        std::string command;
        std::optional<std::string> input;  // none: no input file at all
        const char *says;
    } rows[] = {
        {"empty page", "compress", "", "empty"},
        {"page without a repeat", "compress", "abcdefg", "no repeat"},
        {"missing input file", "compress", std::nullopt, "in: cannot open"},
        {"corrupt item", "decompress", std::string("\0\0\0\0\0\0\xC0\0\x05\0\0\0\x10" "a", 14), "corrupt"},
        {"unknown command", "pack", "aaaa", "usage"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(path("in"));
        if (row.input)
            std::ofstream(path("in"), std::ios::binary) << *row.input;
        std::string errors;

        EXPECT_NE(run(row.command, "in", "out", errors), 0);

        EXPECT_THAT(errors, ::testing::HasSubstr(row.says));
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_FALSE(fs::exists(path("out")));
    }
}

}  // namespace
