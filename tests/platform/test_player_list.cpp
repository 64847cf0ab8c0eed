#include "platform/player_list.h"

#include "platform/failure.h"
#include "platform/player_list_view.h"
#include "platform/text_encoding.h"
#include "tests/support/fake_runtime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zandrel {
namespace {

using ::testing::ElementsAreArray;

std::vector<std::string> numbered(int count)
{
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i)
        names.push_back("N" + std::to_string(i));
    return names;
}

std::string lines(const std::vector<std::string> &names)
{
    std::string text;
    for (const std::string &name : names)
        text += name + "\r\n";
    return text;
}

TEST(PlayerListParsing, SplitsLinesKeepsTheirTextCutsLongOnesAndStopsAtThirtyTwo)
{
    const std::vector<std::string> n32 = numbered(32);
    const std::string cp1252Line(40000, '\xE9');
    const std::string utf8Line = decodeCp1252(cp1252Line);  // the same 40,000 characters, two bytes each
    const std::string utf8Kept = utf8Line.substr(0, MaxPlayerNameLength * 2);
    const struct {
        const char *name;
        std::string bytes;
        std::vector<std::string> expected;
    } cases[] = {
        {"blanks_kept", "  Red Team  \r\n", {"  Red Team  "}},
        {"trailing_crlf_once", "A\r\nB\r\n", {"A", "B"}},
        {"two_trailing_crlf_pairs", "A\r\nB\r\n\r\n", {"A", "B", ""}},
        {"cr_only", "A\rB\r", {"A", "B"}},
        {"lf_only", "A\nB\n", {"A", "B"}},
        {"lf_cr_is_two_ends", "A\n\rB", {"A", "", "B"}},
        {"bom_dropped_once", "\xEF\xBB\xBF" "A\r\n\xEF\xBB\xBF" "B", {"A", "\xEF\xBB\xBF" "B"}},
        {"bom_only", "\xEF\xBB\xBF", {}},
        {"utf8", "Ren\xC3\xA9\n\xD0\x96", {"Ren\xC3\xA9", "\xD0\x96"}},
        {"cp1252_fallback", "Ren\xE9\r\n\x80", {"Ren\xC3\xA9", "\xE2\x82\xAC"}},
        {"one_bad_byte_makes_all_cp1252", "\xC3\xA9\n\xE9", {"\xC3\x83\xC2\xA9", "\xC3\xA9"}},
        {"utf16_little_endian", std::string("\xFF\xFE" "A\0\xE9\0\r\0\n\0\x3D\xD8\x00\xDE", 14),
         {"A\xC3\xA9", "\xF0\x9F\x98\x80"}},
        {"utf16_big_endian", std::string("\xFE\xFF\0A\0\r\0B", 8), {"A", "B"}},
        {"utf16_lone_surrogate_and_odd_byte", std::string("\xFF\xFE\x00\xD8" "A\0" "B", 7),
         {"\xEF\xBF\xBD" "A\xEF\xBF\xBD"}},
        {"nul_bytes", std::string("A\0B\n\0", 5), {std::string("A\0B", 3), std::string(1, '\0')}},
        {"empty_33rd_line_ignored", lines(n32) + "\r\n", n32},
        {"long_ascii_cut", std::string(100000, 'x') + "\r\nBob", {std::string(MaxPlayerNameLength, 'x'), "Bob"}},
        {"long_utf8_cut_between_characters", utf8Line + "\r\nBob", {utf8Kept, "Bob"}},
        {"long_cp1252_cut_in_characters", cp1252Line + "\r\nBob", {utf8Kept, "Bob"}},
    };
    for (const auto &c : cases)
        EXPECT_THAT(parsePlayerList(c.bytes), ElementsAreArray(c.expected)) << c.name;
}

TEST(PlayerListParsing, AnyBytesGiveValidUtf8Names)
{
    std::string binary;
    for (unsigned state = 7; binary.size() < 200000;) {
        state = state * 1103515245u + 12345u;
        binary.push_back(static_cast<char>(state >> 24));
    }
    for (const std::string &name : parsePlayerList(binary))
        EXPECT_TRUE(isValidUtf8(name));
}

// Each name is set before its size is selected, from the third name on.
std::vector<std::string> expectedEvents(const std::vector<std::string> &names)
{
    std::vector<std::string> events;
    for (std::size_t i = 0; i < names.size(); ++i) {
        events.push_back("name " + std::to_string(i + 1) + "=" + names[i]);
        if (i >= 2)
            events.push_back("size " + std::to_string(i - 2));
    }
    return events;
}

// players.txt as the runtime hands it over (its bytes, or a failure with the
// number set), and the window's boxes, size and message boxes, which note
// what they are given.
struct Fakes : testing::FakeRuntime, PlayerListView {
    Fakes() : FakeRuntime("/opt/z") {}
    Bytes readFile(const std::string &path, std::size_t) override
    {
        EXPECT_EQ(path, "/opt/z/players.txt");  // beside the program
        if (failure != 0)
            throw Failure(failure, "players.txt: reason " + std::to_string(failure));
        return Bytes(file.begin(), file.end());
    }
    void setPlayerName(int box, std::string name) override
    {
        events.push_back("name " + std::to_string(box) + "=" + name);
    }
    void selectSizeIndex(int index) override { events.push_back("size " + std::to_string(index)); }
    void showMessage(const std::string &text, const std::string &title, MessageIcon icon) override
    {
        events.push_back(title + " | " + text + (icon == MessageIcon::Stop ? " | stop" : " | not stop"));
    }

    std::string file;
    int failure = 0;
    std::vector<std::string> events;
};

TEST(LoadPlayerNames, FillsBoxesAndSizeFromTheFileBesideTheProgram)
{
    const struct {
        const char *name;
        std::string file;
        int failure;
        std::vector<std::string> names;
        std::string told;  // the message box, if any
    } cases[] = {
        {"missing", "", FailureNumber::FileNotFound, {}, ""},
        {"folder_missing_too", "", FailureNumber::PathNotFound, {}, ""},
        {"empty", "", 0, {}, ""},
        {"two_lines_no_size", "Alice\r\nBob\r\n", 0, {"Alice", "Bob"}, ""},
        {"three_lines", "Alice\r\n\r\nBob", 0, {"Alice", "", "Bob"}, ""},
        {"sixteen", lines(numbered(16)), 0, numbered(16), ""},
        {"forty", lines(numbered(40)), 0, numbered(32), ""},
        {"unreadable", "Alice\r\n", FailureNumber::PermissionDenied, {},
         "Error 70 Program Error | players.txt: reason 70 | stop"},
    };
    for (const auto &c : cases) {
        Fakes fakes;
        fakes.file = c.file;
        fakes.failure = c.failure;
        LoadPlayerNames(fakes, fakes);
        std::vector<std::string> expected = expectedEvents(c.names);
        if (!c.told.empty())
            expected.push_back(c.told);
        EXPECT_THAT(fakes.events, ElementsAreArray(expected)) << c.name;
    }
}

}  // namespace
}  // namespace zandrel
