// players.txt read into names, and the text encodings a name passes through
// on its way from a list or a box to a page.

#include "platform/player_list.h"

#include "platform/player_list_view.h"
#include "platform/text_encoding.h"
#include "tests/support/fakes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zandrel {
namespace {

using ::testing::ElementsAreArray;

TEST(PageText, EscapesMarkupEncodesToCp1252AndRefersToEverythingElse)
{
    const struct {
        const char *name;
        std::string typed;     // UTF-8, as the window hands it over
        std::string expected;  // Windows-1252 page bytes
    } cases[] = {
        {"markup", "<b>Tom & Jerry</b> \"O'Neil\"", "&lt;b&gt;Tom &amp; Jerry&lt;/b&gt; \"O'Neil\""},
        {"entity_text_escaped_again", "&amp;", "&amp;amp;"},
        {"cyrillic_cjk_emoji", "\xD0\x96\xE6\x9D\x8E\xF0\x9F\x98\x80", "&#1046;&#26446;&#128512;"},
        {"invalid_byte", "a\xFF" "b", "a&#65533;b"},
        {"overlong_and_surrogate", "\xC0\xAF\xED\xA0\x80", "&#65533;&#65533;&#65533;&#65533;&#65533;"},
        {"above_unicode", "\xF4\x90\x80\x80", "&#65533;&#65533;&#65533;&#65533;"},
        {"cut_short_then_text", "\xE2\x82" "A\xF0\x9F\x98", "&#65533;A&#65533;"},
        {"nul", std::string("a\0b", 3), "a&#65533;b"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(toPageText(c.typed), c.expected) << c.name;
}

// What bytes 80 to 9F mean in Windows-1252, written out here rather than
// taken from the code (91 and 92 are the quotes of names such as O’Neil);
// 0 marks the five the code page leaves undefined.
constexpr char32_t HighBytes[32] = {
    U'€', 0, U'‚', U'ƒ', U'„', U'…', U'†', U'‡', U'ˆ', U'‰', U'Š', U'‹', U'Œ', 0, U'Ž', 0,
    0, U'‘', U'’', U'“', U'”', U'•', U'–', U'—', U'˜', U'™', U'š', U'›', U'œ', 0, U'ž', U'Ÿ'};

// Every byte reads as its character, and typing that character puts the same
// byte in the page; an undefined byte reads as the control of its number,
// which no page byte stands for.
TEST(Cp1252, EveryByteMeansItsCharacterBothWays)
{
    for (int byte = 0x20; byte <= 0xFF; ++byte) {
        const bool high = byte >= 0x80 && byte < 0xA0;
        const char32_t meant = high ? HighBytes[byte - 0x80] : static_cast<char32_t>(byte);
        std::string typed;
        appendUtf8(typed, meant != 0 ? meant : static_cast<char32_t>(byte));
        EXPECT_EQ(decodeCp1252(std::string(1, static_cast<char>(byte))), typed) << byte;
        if (byte == '&' || byte == '<' || byte == '>')
            continue;
        const std::string page = meant != 0 ? std::string(1, static_cast<char>(byte)) : "&#" + std::to_string(byte) + ";";
        EXPECT_EQ(toPageText(typed), page) << byte;
    }
}

TEST(Utf8, OverlongFormsSurrogatesAndCutSequencesAreNoText)
{
    const struct {
        const char *bytes;
        bool valid;
    } cases[] = {
        {"\xE0\x80\xAF", false},      {"\xF0\x80\x80\xAF", false}, {"\xC0\xAF", false},
        {"\xED\xA0\x80", false},      {"\xF4\x90\x80\x80", false}, {"\xE2\x82", false},
        {"\xE2\x82\xAC", true},       {"\xED\x9F\xBF", true},       {"\xF0\x9F\x98\x80", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.bytes;
}

// "N1" to "N<count>", and the same as lines of a file.
std::vector<std::string> numbered(int count)
{
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i)
        names.push_back(std::string("N") + std::to_string(i));
    return names;
}
std::string lines(int count)
{
    std::string text;
    for (const std::string &name : numbered(count))
        text += name + "\r\n";
    return text;
}

TEST(PlayerListParsing, SplitsLinesKeepsTheirTextCutsLongOnesAndStopsAtThirtyTwo)
{
    const std::string cp1252Line(40000, '\xE9');
    const std::string utf8Line = decodeCp1252(cp1252Line);  // the same 40,000 characters, two bytes each
    const std::string utf8Kept = utf8Line.substr(0, MaxPlayerNameLength * 2);
    const struct {
        const char *name;
        std::string bytes;
        std::vector<std::string> expected;
    } cases[] = {
        {"blanks_kept_and_crlf_cr_lf_end_lines", "  Red Team  \r\nB\rC\nD\r\n", {"  Red Team  ", "B", "C", "D"}},
        {"two_trailing_crlf_pairs", "A\r\nB\r\n\r\n", {"A", "B", ""}},
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
        {"empty_33rd_line_ignored", lines(32) + "\r\n", numbered(32)},
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
    void selectSize(int size) override { events.push_back("size " + std::to_string(size)); }
    std::vector<std::string> events;
};

std::vector<std::string> filled(const std::vector<std::string> &names)
{
    std::vector<std::string> events;
    for (std::size_t i = 0; i < names.size(); ++i) {
        events.push_back(std::to_string(i + 1) + "=" + names[i]);
        if (i + 1 >= MinEntrants)
            events.push_back("size " + std::to_string(i + 1));
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
        {"two_lines_no_size", File, "Alice\r\nBob\r\n", {"Alice", "Bob"}, ""},
        {"three_lines", File, "Alice\r\n\r\nBob", {"Alice", "", "Bob"}, ""},
        {"forty", File, lines(40), numbered(32), ""},
        {"a_folder", Folder, "", {}, "Error 75 Program Error: /program/players.txt is not a regular file"},
    };
    for (const auto &c : cases) {
        testing::FakeSystem runtime;
        if (c.kind == InMissingFolder)
            runtime.documents = "/home/u/Documents";
        if (c.kind == File)
            runtime.files["/program/players.txt"] = Bytes(c.file.begin(), c.file.end());
        if (c.kind == Folder)
            runtime.folders.insert("/program/players.txt");
        Window window;
        runTelling(runtime, [&] { loadPlayerNames(runtime, runtime, window); });
        EXPECT_THAT(window.events, ElementsAreArray(filled(c.names))) << c.name;
        ASSERT_EQ(runtime.messages.size(), c.told.empty() ? 0u : 1u) << c.name;
        for (const auto &message : runtime.messages)
            EXPECT_TRUE(message.title + ": " + message.text == c.told && message.icon == MessageIcon::Stop) << c.name;
    }
}

}  // namespace
}  // namespace zandrel
