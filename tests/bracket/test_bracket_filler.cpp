#include "bracket/bracket_filler.h"

#include "platform/failure.h"
#include "tests/support/fake_runtime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zandrel {
namespace {

using Log = std::vector<std::string>;
const std::string Seeded = "Seeded (according to order below)";

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

std::string placeholder(int slot)
{
    return "PLAYER " + std::to_string(slot);
}

std::string boxName(int box)
{
    return "(" + std::to_string(box) + ")";
}

// Name box k holds texts[k] or "(k)"; the generator always answers `value`.
// The boxes read and the values taken are counted.
struct Inputs {
    std::map<int, std::string> texts;
    float value = 0.5f;
    std::vector<int> asked;
    int taken = 0;

    std::string fill(const std::string &pageText, const std::string &title, const std::string &size,
                     const std::string &seeding = Seeded)
    {
        const auto box = [this](int k) {
            asked.push_back(k);
            return texts.count(k) ? texts[k] : boxName(k);
        };
        const auto draw = [this] {
            ++taken;
            return value;
        };
        return FillBracketText(pageText, title, size, seeding, box, draw);
    }
};

// Seeded, slot k shows box k; any other seeding text draws. A generator of
// zeros moves box k + 1 into slot k and box 1 into the last slot. Names are
// bracketed so that "PLAYER 1" filled inside "PLAYER 10<" would show.
TEST(FillBracketText, SeededKeepsEachBoxInItsSlotAnythingElseDraws)
{
    const struct {
        std::string seeding;
        bool drawn;
    } seedings[] = {{Seeded, false}, {"Unseeded (random matches)", true}, {"seeded (according to order below)", true},
                    {Seeded + " ", true}};
    for (const auto &s : seedings) {
        for (const int size : {3, 12, 32}) {
            std::vector<int> layout;
            for (int slot = size; slot >= 1; --slot)
                layout.push_back(slot);
            Inputs in;
            in.value = 0.0f;
            const auto shown = [&](int slot) { return boxName(!s.drawn ? slot : slot == size ? 1 : slot + 1); };
            EXPECT_EQ(in.fill(page(layout, placeholder), "Open", std::to_string(size), s.seeding),
                      page(layout, shown, "<title>Open</title>"))
                << s.seeding << " " << size;
            EXPECT_EQ(in.taken, s.drawn ? size : 0);
            // With the page above, each box up to the size was read, and only once.
            EXPECT_EQ(in.asked.size(), static_cast<std::size_t>(size));
        }
    }
}

// The same text is typed as the title and into box 2, whose slot lies
// between slot 1 and slot 4 on the page.
TEST(FillBracketText, TypedTextIsEscapedEncodedAndNeverReplacedAgain)
{
    const struct {
        const char *name;
        std::string typed, shown;
    } cases[] = {
        {"reads_like_an_earlier_slot", "PLAYER 1", "PLAYER 1"},
        {"reads_like_a_later_slot", "PLAYER 4", "PLAYER 4"},
        {"markup", "Tom & Jerry <b>", "Tom &amp; Jerry &lt;b&gt;"},
        {"accents_to_cp1252", "Ren\xC3\xA9 \xE2\x82\xAC", "Ren\xE9 \x80"},
        {"other_scripts_to_references", "\xD0\x96 \xE6\x9D\xAF \xF0\x9F\x8F\x86", "&#1046; &#26479; &#127942;"},
        {"blanks_kept", "  Al  ", "  Al  "},
        {"empty_name_empty_cell", "", ""},
    };
    const std::vector<int> layout = {1, 5, 3, 2, 4};
    for (const auto &c : cases) {
        Inputs in;
        in.texts[2] = c.typed;
        const auto cell = [&](int k) { return k == 2 ? c.shown : boxName(k); };
        const std::string expected = page(layout, cell, "<title>" + c.shown + "</title>");
        EXPECT_EQ(in.fill(page(layout, placeholder), c.typed, "5"), expected) << c.name;
    }
}

TEST(FillBracketText, TextThatIsNoPlaceholderStaysByteForByte)
{
    for (const std::string text : {"<title>Kept</title>", "<TITLE></TITLE>", "PLAYER 13<", "PLAYER 0<", "PLAYER 05<",
                                   "PLAYER 100<", "PLAYER 1 <", "player 1<", "PLAYER  1<", "PLAYER 1", "PLAYER",
                                   "\x80\xFF<P"})
        EXPECT_EQ(Inputs().fill(text, "T", "12"), text);
}

TEST(FillBracketText, SizeThatIsNoNumberOfEntrantsIsRefusedBeforeAnyBoxIsRead)
{
    for (const std::string size : {"", "abc", "33", "-1", " 12", "+4", "4.5"}) {
        Inputs in;
        EXPECT_THROW(in.fill("PLAYER 1<", "", size), Failure) << size;
        EXPECT_TRUE(in.asked.empty()) << size;
    }
}

// Files as the filler meets them: every call is noted; reading gives `page`
// (cut to the length asked for) or fails, and replacing fails on a full disk.
struct FileRuntime : testing::FakeRuntime {
    Bytes readFile(const std::string &path, std::size_t maxBytes) override
    {
        calls.push_back("read " + path);
        if (!readable)
            throw Failure(FailureNumber::PermissionDenied, path);
        return Bytes(page.begin(), page.begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, page.size())));
    }
    void removeFile(const std::string &path) override { calls.push_back("remove " + path); }
    void createFileExclusive(const std::string &path, const Bytes &) override { calls.push_back("create " + path); }
    void replaceFile(const std::string &path, const Bytes &bytes) override
    {
        calls.push_back("replace " + path + " with " + std::string(bytes.begin(), bytes.end()));
        if (diskFull)
            throw Failure(FailureNumber::DiskFull, path);
    }
    std::string page;
    bool readable = true, diskFull = false;
    Log calls;
};

TEST(BracketFile, TemplateIsReadWholeThenDeletedAndOnlyThen)
{
    FileRuntime runtime;
    runtime.page = std::string("<html>\x96\0PLAYER 1<", 17) + std::string(300000, 'x') + "\r\n";
    EXPECT_EQ(ReadTemplateText(runtime, "/tmp/~rs1.htm"), runtime.page);
    EXPECT_EQ(runtime.calls, (Log{"read /tmp/~rs1.htm", "remove /tmp/~rs1.htm"}));

    runtime.readable = false;
    runtime.calls.clear();
    EXPECT_THROW(ReadTemplateText(runtime, "/tmp/~rs1.htm"), Failure);
    EXPECT_EQ(runtime.calls, Log{"read /tmp/~rs1.htm"});
}

// The old bracket.html is never written over in place nor removed first: it
// is replaced in one step, and a failure to do so is passed on.
TEST(BracketFile, ThePageReplacesTheOldOneInOneStepOrFails)
{
    const std::string bytes("<html>\x96\xE9\0</html>", 16);
    FileRuntime runtime;
    WriteBracketFile(runtime, bracketFilePath("/out"), bytes);
    runtime.diskFull = true;
    EXPECT_THROW(WriteBracketFile(runtime, "/out/bracket.html", "new"), Failure);
    EXPECT_EQ(runtime.calls, (Log{"replace /out/bracket.html with " + bytes, "replace /out/bracket.html with new"}));
}

}  // namespace
}  // namespace zandrel
