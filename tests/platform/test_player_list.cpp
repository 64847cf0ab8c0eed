#include "platform/player_list.h"

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
        {"crlf_cr_lf_and_one_end_at_the_end", "A\r\nB\rC\nD\r\n", {"A", "B", "C", "D"}},
        {"two_trailing_crlf_pairs", "A\r\nB\r\n\r\n", {"A", "B", ""}},
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
        {"long_utf8_cut_between_characters", utf8Line + "\r\nBob", {utf8Kept, "Bob"}},
        {"long_cp1252_cut_in_characters", cp1252Line + "\r\nBob", {utf8Kept, "Bob"}},
    };
    for (const auto &c : cases)
        EXPECT_THAT(parsePlayerList(c.bytes), ElementsAreArray(c.expected)) << c.name;
}

// The window as the reader changes it: each name set before its size is
// selected, from the third name on, and any message box.
struct Window : PlayerListView {
    void setPlayerName(int box, std::string name) override { events.push_back(std::to_string(box) + "=" + name); }
    void selectSizeIndex(int index) override { events.push_back("size " + std::to_string(index)); }
    std::vector<std::string> events;
};

std::vector<std::string> filled(const std::vector<std::string> &names)
{
    std::vector<std::string> events;
    for (std::size_t i = 0; i < names.size(); ++i) {
        events.push_back(std::to_string(i + 1) + "=" + names[i]);
        if (i >= 2)
            events.push_back("size " + std::to_string(i - 2));
    }
    return events;
}

TEST(LoadPlayerNames, FillsBoxesAndSizeFromTheListAndSpeaksOnlyWhenItCannotBeRead)
{
    enum Kind { Missing, InMissingFolder, File, Folder };
    const struct {
        const char *name;
        Kind kind;
        std::string file;
        std::vector<std::string> names;
        std::string told;  // the message box, if any
    } cases[] = {
        {"missing", Missing, "", {}, ""},
        {"user_folder_not_made_yet", InMissingFolder, "", {}, ""},
        {"empty", File, "", {}, ""},
        {"two_lines_no_size", File, "Alice\r\nBob\r\n", {"Alice", "Bob"}, ""},
        {"three_lines", File, "Alice\r\n\r\nBob", {"Alice", "", "Bob"}, ""},
        {"sixteen", File, lines(numbered(16)), numbered(16), ""},
        {"forty", File, lines(numbered(40)), numbered(32), ""},
        {"a_folder", Folder, "", {}, "Error 75 Program Error: /program/players.txt is not a regular file"},
    };
    for (const auto &c : cases) {
        testing::FakeRuntime runtime;
        if (c.kind == InMissingFolder)
            runtime.documents = "/home/u/Documents";
        if (c.kind == File)
            runtime.files["/program/players.txt"] = Bytes(c.file.begin(), c.file.end());
        if (c.kind == Folder)
            runtime.folders.insert("/program/players.txt");
        Window window;
        LoadPlayerNames(runtime, window);
        EXPECT_THAT(window.events, ElementsAreArray(filled(c.names))) << c.name;
        std::vector<std::string> told;
        for (const auto &message : runtime.messages)
            told.push_back(message.title + ": " + message.text + (message.icon == MessageIcon::Stop ? "" : " (no stop)"));
        EXPECT_EQ(told, c.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.told}) << c.name;
    }
}

}  // namespace
}  // namespace zandrel
