// The store: decoder, compressor, the build's tool, the shipped items, a template taken out as a page file.

#include "platform/failure.h"
#include "templates/bracket_template.h"
#include "templates/builtin_items.h"
#include "templates/lzss_decoder.h"
#include "templates/lzss_encoder.h"
#include "tests/support/fakes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using namespace zandrel::FailureNumber;
using zandrel::lzss::decompressed;
using zandrel::lzss::compressItem;

constexpr size_t Window = 16383;  // the farthest back an item reaches: just below its 16 KiB

Bytes operator+(Bytes a, const Bytes &b) { return a.insert(a.end(), b.begin(), b.end()), a; }
Bytes bytes(std::string_view s) { return Bytes(s.begin(), s.end()); }
size_t number(const Bytes &b, size_t at, int n) { return n ? number(b, at, n - 1) << 8 | b.at(at + n - 1) : 0; }
using Reader = std::istreambuf_iterator<char>;
Bytes fileBytes(const fs::path &path) { return Bytes(Reader(std::ifstream(path, std::ios::binary).rdbuf()), {}); }

template <class Run>
std::string failureOf(Run run)  // "number: description" of the Failure `run` throws; another's text; "" if none
{
    try { run(); } catch (const zandrel::Failure &e) { return std::to_string(e.number()) + ": " + e.description(); }
    catch (const std::exception &e) { return e.what(); }
    return {};
}

// An item as stored: in hex F and M (3 bytes each), flags, distances, length codes, window byte; literals.
Bytes item(std::string_view hex, std::string_view literals)
{
    Bytes b;
    for (size_t i = hex.find_first_not_of(' '); i < hex.size(); i = hex.find_first_not_of(' ', i + 2))
        b.push_back(static_cast<unsigned char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return b + bytes(literals);
}
const Bytes smallest = item("000000 000000 C0 0001 0000 00 10", "a");  // "a", then 3 copied from 1 back

Bytes repeatAt(size_t n, size_t tail)  // n bytes with no three twice, then their first `tail`: a repeat n back
{
    Bytes b(n + tail);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<unsigned char>(i % n % 2 ? i % n / 2 : i % n / 512);
    return b;
}

// Items expand by the rules of the layout or are refused saying where; the compressor's come back or are refused.
TEST(LzssCodec, DecodesWellFormedItemsRefusesCorruptOnesAndEncodesWithTheFewestCopiesWithinTheWindow)
{
    const struct { const char *rule; Bytes item, expected; } wellFormed[] = {
        {"length code FF: 258", item("000000 000000 C0 0001 0000 FF 10", "x"), Bytes(259, 'x')},
        {"a copy reading what it writes", item("000000 000000 60 0002 0000 02 10", "ab"), bytes("abababa")},
        {"distance one less than length", item("000000 000000 30 0003 0000 01 10", "abc"), bytes("abcabca")},
        {"tokens in order", item("000000 000001 58 0002 0004 0000 0001 10", "abc"), bytes("ababacabac")},
        {"flags in two bytes", item("000001 000000 0180 0008 0000 00 10", "abcdefgh"), bytes("abcdefghabc")},
        // Never read: tokens after the end marker, the window byte, the padding.
        {"unread bytes", item("000000 000001 C0 0001 0000 0005 0009 20", "aQRS\x09\x01\x02"), bytes("aaaa")},
    };
    for (const auto &row : wellFormed)
        EXPECT_EQ(decompressed(row.item), row.expected) << row.rule;

    const struct { Bytes item; const char *fault; } corrupt[] = {
        {{}, "6-byte header, at byte 0"}, {{0, 0, 0, 0, 0}, "6-byte header, at byte 5"},
        {item("00FFFF 000000 C0 0001 0000 00 10", "a"), "end, at byte 14 (the literals would start at byte 65548)"},
        {item("000000 FFFFFF C0 0001 0000 00 10", "a"), "in the header run past the item's end, at byte 14"},
        {Bytes(smallest.begin(), smallest.end() - 1), "literal stream runs out, at byte 13"},  // no first literal
        {item("000000 000000 20 0001 0000 00 10", "a"), "literal stream runs out, at byte 14"},
        {item("000000 000000 00 0001 0000 00 10", "abcdefghi"), "stream runs out before the end marker, at byte 7"},
        {item("000000 000000 C0 0001 0001 00 10", "a"), "length stream runs out, at byte 12"},  // end marker not 0
        {item("000000 000000 C0 0002 0000 00 10", "a"), "first byte, at byte 7 (distance 2 with 1 byte written)"},
        {item("000000 000001 E0 0001 FFFF 0000 0000 10", "a"), "at byte 9 (distance 65535 with 4 bytes written)"},
    };
    const std::string corruptItem = std::to_string(CorruptItem) + ": Built-in item is corrupt: ";
    for (const auto &row : corrupt)
        EXPECT_THAT(failureOf([&] { decompressed(row.item); }),
                    testing::AllOf(testing::StartsWith(corruptItem), testing::HasSubstr(row.fault)));

    const struct { Bytes input; const char *refusal; } encoded[] = {
        {bytes("abcdefabc"), ""}, {repeatAt(Window, 8), ""}, {repeatAt(Window + 1, 8), "no repeat"},
        {{}, "empty"}, {bytes("aaa"), "no repeat"}, {bytes("abxab"), "no repeat"}, {bytes("aaaabaaaabaaaac"), ""},
    };
    for (const auto &row : encoded) {
        const std::string failure = failureOf([&] { EXPECT_EQ(decompressed(compressItem(row.input)), row.input); });
        EXPECT_TRUE(failure.empty() == !*row.refusal && failure.find(row.refusal) != std::string::npos) << failure;
    }
    // A run: one leading literal, then copies of 258 at distance 1 and a shorter rest, if 3 or more.
    for (const size_t n : {4u, 259u, 260u, 262u, 100000u})
        EXPECT_EQ(number(compressItem(Bytes(n, 'z')), 3, 3) + 1, (n - 1) / 258 + ((n - 1) % 258 >= 3)) << n;
}

// Each item keeps the layout: the end marker's flag, the last set, in the last flag byte; distances in the window;
// window byte 16; after the literals (the first, each flagged token no copy) under 4 zero bytes.
TEST(BuiltInItems, AreEachPageAsAWellFormedItemFoundByNumberAndTypeInAnyCaseMadeByTheBuildsTool)
{
    for (int number = 101; number <= 162; ++number) {
        SCOPED_TRACE(number);
        const auto found = zandrel::builtInItemBytes(number, number % 2 ? "CUSTOM" : "custom");
        const Bytes stored(found.begin(), found.end());
        const size_t f = ::number(stored, 0, 3), m = ::number(stored, 3, 3);
        size_t lastOne = 0, farthest = 0;
        for (size_t bit = 0; bit < 8 * (f + 1); ++bit)
            lastOne = stored.at(6 + bit / 8) & (0x80u >> bit % 8) ? bit : lastOne;
        for (size_t i = 0; i <= m; ++i)
            farthest = std::max(farthest, ::number(stored, f + 7 + 2 * i, 2) - 1);  // the end marker's 0 wraps round
        const size_t end = std::min(stored.size(), 3 * m + f + 14 + lastOne - (m + 1));
        EXPECT_TRUE(lastOne / 8 == f && farthest < Window && stored.at(3 * m + f + 12) == 16 && stored.size() % 4 == 0
                    && stored.size() - end < 4 && std::none_of(stored.begin() + end, stored.end(), std::identity()));
        EXPECT_EQ(decompressed(stored), fileBytes(ZANDREL_PAGES_DIR "/" + std::to_string(number) + ".htm"));
    }
    for (const auto &[number, type] : {std::pair(103, "Bitmap"), std::pair(103, "Custom "), std::pair(100, "Custom")})
        EXPECT_EQ(std::atoi(failureOf([&] { zandrel::builtInItemBytes(number, type); }).c_str()), MissingItem)
            << type;
    EXPECT_EQ(failureOf([] { zandrel::builtInItemBytes(163, "Custom"); }).empty(), bool(ZANDREL_CARRIES_HELP))
        << "help";

    // The build's lzss tool, which made them: exit status, one line of errors, no output left by a failure.
    const auto folder = fs::temp_directory_path() / ("zandrel-lzss-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    std::string tool = ZANDREL_LZSS_TOOL, outer;
#ifdef _WIN32  // under Wine the tool's path is the host's, on drive Z:; cmd takes a line's outer quotes off
    std::replace(tool.begin(), tool.end(), '/', '\\');
    tool = (tool.starts_with('\\') ? "Z:" : "") + tool, outer = "\"";
#endif
    const auto quoted = [](const fs::path &path) { return "\"" + path.string() + "\""; };
    const struct { const char *command; Bytes input; const char *says; } rows[] = {
        {"decompress", smallest, nullptr}, {"compress", bytes("abc"), "no repeat"}, {"compress", {}, "cannot open"},
        {"decompress", Bytes(smallest.begin(), smallest.end() - 1), "corrupt"}, {"pack", smallest, "usage"},
    };
    for (const auto &row : rows) {
        const fs::path in = folder / ("in" + std::to_string(&row - rows)), out = in.string() + ".out";
        std::ofstream(in, std::ios::binary) << std::string(row.input.begin(), row.input.end());
        const std::string line = quoted(tool) + " " + row.command + " " + quoted(row.input.empty() ? folder / "-" : in)
                                 + " " + quoted(out) + " 2> " + quoted(folder / "errors");
        const int status = std::system((outer + line + outer).c_str());
        const Bytes err = fileBytes(folder / "errors");  // standard error
        EXPECT_EQ(std::pair(status == 0, int(std::ranges::count(err, '\n'))), std::pair(!row.says, row.says ? 1 : 0));
        EXPECT_THAT(std::string(err.begin(), err.end()), testing::HasSubstr(row.says ? row.says : ""));
        EXPECT_EQ(fs::exists(out) ? fileBytes(out) : bytes("none"), bytes(row.says ? "none" : "aaaa")) << out;
    }
    fs::remove_all(folder);
}

// What stays in the temporary folder, and the failure: told in a Stop box of its own (a fixed text, then where
// and why), or passed on with its number.
TEST(Extraction, LeavesOnlyThePageOrTellsWhyOrPassesTheFailureOn)
{
    const auto found = zandrel::builtInItemBytes(108, "Custom");
    const Bytes stored(found.begin(), found.end()), page = decompressed(stored), mine = bytes("mine");
    const std::string noTemp = "Unable to get temp file name!\n", noSave = "Unable to save resource item to disk!\n";
    struct { const char *name, *temp; int item, failure; bool full; const Bytes *left; std::string told; } rows[] = {
        {"the page", "/tmp", 108, 0, false, &page, ""},
        {"no temp folder", "", 108, PathNotFound, false, nullptr, noTemp + "(no temporary folder): No such file or directory"},
        {"no such item", "/tmp", 163, MissingItem, false, nullptr, noSave + "No built-in item 163"},
        {"disk full", "/tmp", 108, DiskFull, true, nullptr, noSave + "/tmp/~rs1.tmp: No space left on device"},
        {"corrupt item", "/tmp", 109, CorruptItem, false, nullptr, ""},
        {"a file under the page name", "/tmp", 108, PathFileAccess, false, &mine, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        zandrel::testing::FakeSystem runtime;
        runtime.items = {{108, stored}, {109, item("000000 000000 C0 0009 0000 00 10", "a")}};
        runtime.tempFolder = row.temp, runtime.diskFull = row.full;
        if (row.left == &mine)
            runtime.files["/tmp/~rs1.tmp.htm"] = mine;  // the fake names its temporary files ~rs1.tmp, ~rs2.tmp, ...
        std::string result, told;
        int number = 0;
        try {
            result = zandrel::extractBracketTemplate(runtime, runtime, row.item);
        } catch (const zandrel::Failure &failure) {
            const zandrel::Notice notice = failure.notice();
            number = failure.number();
            if (!notice.text.starts_with("Error "))  // a box of its own
                told = notice.icon == zandrel::MessageIcon::Stop ? notice.text : "(no Stop box) " + notice.text;
        }
        EXPECT_EQ(number, row.failure);
        EXPECT_EQ(result, row.left == &page ? "/tmp/~rs1.tmp.htm" : "");
        EXPECT_EQ(runtime.files.size(), row.left ? 1u : 0u);  // only the page, or the file that was there before
        EXPECT_EQ(runtime.files["/tmp/~rs1.tmp.htm"], row.left ? *row.left : Bytes{});
        EXPECT_EQ(told, row.told);
    }
}

}  // namespace
