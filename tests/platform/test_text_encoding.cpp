#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace zandrel {
namespace {

TEST(PageText, EscapesMarkupEncodesToCp1252AndRefersToEverythingElse)
{
    const struct {
        const char *name;
        std::string typed;     // UTF-8, as the window hands it over
        std::string expected;  // Windows-1252 page bytes
    } cases[] = {
        {"markup", "<b>Tom & Jerry</b> \"O'Neil\"", "&lt;b&gt;Tom &amp; Jerry&lt;/b&gt; \"O'Neil\""},
        {"entity_text_escaped_again", "&amp;", "&amp;amp;"},
        {"latin1", "Ren\xC3\xA9 \xC2\xA0\xC3\xBF", "Ren\xE9 \xA0\xFF"},
        {"cp1252_block", "\xE2\x82\xAC\xC5\x92\xC5\xB8\xE2\x80\x9C", "\x80\x8C\x9F\x93"},
        {"cyrillic_cjk_emoji", "\xD0\x96\xE6\x9D\x8E\xF0\x9F\x98\x80", "&#1046;&#26446;&#128512;"},
        {"c1_and_undefined_slots", "\xC2\x80\xC2\x81\xC2\x9D", "&#128;&#129;&#157;"},
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
    U'€', 0, U'‚', U'ƒ', U'„', U'…', U'†', U'‡',
    U'ˆ', U'‰', U'Š', U'‹', U'Œ', 0, U'Ž', 0,
    0, U'‘', U'’', U'“', U'”', U'•', U'–', U'—',
    U'˜', U'™', U'š', U'›', U'œ', 0, U'ž', U'Ÿ'};

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
        EXPECT_EQ(toPageText(typed), meant != 0 ? std::string(1, static_cast<char>(byte)) : "&#" + std::to_string(byte) + ";")
            << byte;
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

}  // namespace
}  // namespace zandrel
