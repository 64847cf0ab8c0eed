// The page filler and the draw it takes its order from.

#include "bracket/bracket_filler.h"
#include "bracket/player_order.h"
#include "platform/failure.h"
#include "tests/support/fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

namespace zandrel {
namespace {

// A page shaped like the bracket pages: Windows-1252, CR LF, one cell per
// slot, slots in `layout` order as a bracket places seeds. `cell(k)` is slot
// k's content, so one helper builds a template and its expected result.
std::string page(const std::vector<int> &layout, const std::function<std::string(int)> &cell,
                 const std::string &title = "<title></title>")
{
    std::string text = "<html><head>" + title + "</head>\r\n<body><table>\r\n";
    for (const int slot : layout)
        text += "<tr><td>" + cell(slot) + "</td></tr>\r\n";
    return text + "</table><p>Round 1 \x96 Final\xA0</p></body></html>\r\n";
}

const auto placeholder = [](int slot) { return std::string("PLAYER ") + std::to_string(slot); };
// Bracketed, so that "PLAYER 1" filled inside "PLAYER 10<" would show.
const auto boxName = [](int box) { return std::string("(") + std::to_string(box) + ")"; };

struct Filled { std::string page; std::vector<int> asked; int taken = 0; };

// The page filled, the boxes read and the values drawn. Box k holds "(k)" and
// box 2 `typed`, which is the title too; the generator always answers 0.
Filled fill(const std::string &text, int size, Seeding seeding = Seeding::Seeded, const std::string &typed = boxName(2))
{
    Filled out;
    const auto box = [&](int k) { return out.asked.push_back(k), k == 2 ? typed : boxName(k); };
    out.page = fillBracketText(text, typed, size, seeding, box, [&] { return ++out.taken, 0.0f; });
    return out;
}

// Seeded, slot k shows box k; drawn, a generator of zeros moves box k + 1
// into slot k and box 1 into the last slot.
TEST(FillBracketText, SeededKeepsEachBoxInItsSlotDrawnFollowsTheDraw)
{
    for (const Seeding seeding : {Seeding::Seeded, Seeding::Drawn}) {
        const bool drawn = seeding == Seeding::Drawn;
        for (const int size : {3, 12, 32}) {
            std::vector<int> layout(static_cast<std::size_t>(size));
            std::iota(layout.rbegin(), layout.rend(), 1);
            const auto shown = [&](int slot) { return boxName(!drawn ? slot : slot == size ? 1 : slot + 1); };
            const Filled filled = fill(page(layout, placeholder), size, seeding);
            EXPECT_EQ(filled.page, page(layout, shown, "<title>(2)</title>")) << drawn << " " << size;
            EXPECT_EQ(filled.taken, drawn ? size : 0);
            EXPECT_EQ(filled.asked.size(), layout.size()) << "each box is read once";
        }
    }
}

// The same text is typed as the title and into box 2, whose slot lies
// between slot 1 and slot 4 on the page.
TEST(FillBracketText, TypedTextIsEscapedEncodedAndNeverReplacedAgain)
{
    const std::pair<std::string, std::string> cases[] = {
        {"PLAYER 1", "PLAYER 1"},
        {"PLAYER 4", "PLAYER 4"},
        {"  Tom & <b> Ren\xC3\xA9 \xE2\x82\xAC \xD0\x96  ", "  Tom &amp; &lt;b&gt; Ren\xE9 \x80 &#1046;  "},
        {"", ""},
    };
    const std::vector<int> layout = {1, 5, 3, 2, 4};
    for (const auto &[typed, shown] : cases) {
        const auto cell = [&](int k) { return k == 2 ? shown : boxName(k); };
        EXPECT_EQ(fill(page(layout, placeholder), 5, Seeding::Seeded, typed).page,
                  page(layout, cell, "<title>" + shown + "</title>"));
    }
}

TEST(FillBracketText, TextThatIsNoPlaceholderStaysByteForByte)
{
    for (const std::string text : {"<title>Kept</title>", "<TITLE></TITLE>", "PLAYER 13<", "PLAYER 0<", "PLAYER 05<",
                                   "PLAYER 100<", "PLAYER 1 <", "player 1<", "PLAYER  1<", "PLAYER 1", "PLAYER",
                                   "\x80\xFF<P"})
        EXPECT_EQ(fill(text, 12).page, text);
}

TEST(FillBracketText, SizeThatIsNoNumberOfEntrantsIsRefusedBeforeAnyBoxIsRead)
{
    const auto box = [](int) -> std::string { return ADD_FAILURE() << "a box was read", ""; };
    for (const int size : {33, -1})
        EXPECT_THROW(fillBracketText("PLAYER 1<", "", size, Seeding::Seeded, box, [] { return 0.0f; }), Failure)
            << size;
}

TEST(ReadTemplateText, ReadsTheWholePageThenDeletesItButKeepsOneItCouldNotRead)
{
    const std::string text = std::string("<html>\x96\0PLAYER 1<", 17) + std::string(300000, 'x');
    testing::FakeSystem runtime;
    runtime.files["/tmp/p.htm"] = Bytes(text.begin(), text.end());
    runtime.folders.insert("/tmp/p.htm");  // the runtime reads no file while a folder has its name
    EXPECT_THROW(readTemplateText(runtime, "/tmp/p.htm"), Failure);
    runtime.folders.erase("/tmp/p.htm");
    EXPECT_EQ(readTemplateText(runtime, "/tmp/p.htm"), text);
    EXPECT_FALSE(runtime.fileExists("/tmp/p.htm"));
}

TEST(ShufflePlayerOrder, GeneratorValuesPickTheirPositions)
{
    const auto upTo32 = [] { std::vector<int> v(32); return std::iota(v.begin(), v.end(), 1), v; }();
    const struct { const char *name; int size; std::vector<float> values; std::vector<int> expected; } cases[] = {
        // r = 1 at every step: positions 4, 3, 2, 1 each swap with position 1.
        {"zeros", 4, {0}, {2, 3, 4, 1}},
        // r = n at every step, so nothing moves: 32 times the largest value below one is 32.99999809.
        {"just_below_one", 32, {std::nextafter(1.0f, 0.0f)}, upTo32},
        // 0.4 → r = 2 (rounding would give 3): swap 2, 4; 0 → r = 1: swap 1, 3; 0.99 → r = 2; the last r is 1.
        {"mixed", 4, {0.4f, 0.0f, 0.99f, 0.7f}, {3, 4, 1, 2}},
        // A generator outside [0, 1) is held to the array.
        {"one_and_above", 4, {1.0f, 2.5f}, {1, 2, 3, 4}},
        {"negative_and_nan", 4, {-0.25f, std::nanf("")}, {2, 3, 4, 1}},
    };
    for (const auto &c : cases) {
        PlayerOrder order = initialPlayerOrder(c.size);
        std::size_t taken = 0;
        shufflePlayerOrder(order, c.size, [&] { return c.values[std::min(taken++, c.values.size() - 1)]; });
        std::vector<int> expected = c.expected;
        expected.resize(MaxEntrants, 0);  // the entries above the size stay empty
        EXPECT_EQ(std::vector<int>(order.begin() + 1, order.end()), expected) << c.name;
        EXPECT_EQ(taken, static_cast<std::size_t>(c.size)) << c.name;
    }
}

}  // namespace
}  // namespace zandrel
