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

// Typing the character a Windows-1252 byte stands for must give that byte
// back, so a page prints what was typed; the five undefined bytes have none.
TEST(PageText, EveryCp1252CharacterComesBackAsItsByte)
{
    for (int byte = 0x20; byte <= 0xFF; ++byte) {
        if (byte == '&' || byte == '<' || byte == '>')
            continue;
        const std::string original(1, static_cast<char>(byte));
        const std::string typed = decodeCp1252(original);
        ASSERT_TRUE(isValidUtf8(typed)) << byte;
        const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        EXPECT_EQ(toPageText(typed), undefined ? "&#" + std::to_string(byte) + ";" : original) << byte;
    }
}

}  // namespace
}  // namespace zandrel
