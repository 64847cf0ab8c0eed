#include "bracket/bracket_filler.h"

#include "platform/failure.h"
#include "tests/support/fake_runtime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zandrel {
namespace {

namespace fs = std::filesystem;
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

// Name box k holds boxes[k] or "Bk"; every box read is noted.
struct Boxes {
    std::map<int, std::string> texts;
    std::vector<int> asked;
    PlayerNameSource source()
    {
        return [this](int box) {
            asked.push_back(box);
            return texts.count(box) ? texts[box] : "B" + std::to_string(box);
        };
    }
};

RandomSource counting(int *taken, float value = 0.5f)
{
    return [taken, value] {
        ++*taken;
        return value;
    };
}

TEST(FillBracketText, SeededPutsEachBoxInItsOwnSlot)
{
    const std::vector<int> layout = {1, 12, 5, 8, 10, 4, 3, 11, 6, 7, 2, 9};
    Boxes boxes;
    int taken = 0;
    const std::string filled =
        FillBracketText(page(layout, placeholder), "Open", "12", Seeded, boxes.source(), counting(&taken));
    // Box 1 fills "PLAYER 1<" and box 10 "PLAYER 10<"; neither touches the other.
    EXPECT_EQ(filled, page(layout, [](int k) { return "B" + std::to_string(k); }, "<title>Open</title>"));
    EXPECT_EQ(taken, 0);
    EXPECT_EQ(std::set<int>(boxes.asked.begin(), boxes.asked.end()),
              std::set<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(FillBracketText, UnseededUsesEachBoxUpToTheSizeOnceInDrawnOrder)
{
    const std::string drawingSeedings[] = {"Unseeded (random matches)", "seeded (according to order below)",
                                           Seeded + " "};
    for (const std::string &seeding : drawingSeedings) {
        for (const int size : {3, 17, 32}) {
            std::vector<int> layout(static_cast<std::size_t>(size));
            for (int i = 0; i < size; ++i)
                layout[i] = size - i;
            Boxes boxes;
            int taken = 0;
            // A generator of zeros moves box k + 1 into slot k and box 1 into the last slot.
            const std::string filled = FillBracketText(page(layout, placeholder), "", std::to_string(size), seeding,
                                                       boxes.source(), counting(&taken, 0.0f));
            const auto drawnBox = [size](int slot) { return "B" + std::to_string(slot == size ? 1 : slot + 1); };
            EXPECT_EQ(filled, page(layout, drawnBox, "<title></title>")) << seeding << " " << size;
            EXPECT_EQ(taken, size);
            EXPECT_EQ(boxes.asked.size(), static_cast<std::size_t>(size));
            EXPECT_LE(*std::max_element(boxes.asked.begin(), boxes.asked.end()), size);
        }
    }
}

TEST(FillBracketText, TypedTextIsEscapedEncodedAndNeverReplacedAgain)
{
    const struct {
        const char *name;
        std::string title;
        std::map<int, std::string> typed;
        std::string titleShown;
        std::map<int, std::string> shown;
    } cases[] = {
        {"box_reads_like_later_slot", "", {{2, "PLAYER 5"}}, "", {{2, "PLAYER 5"}}},
        {"box_reads_like_earlier_slot", "", {{4, "PLAYER 1"}}, "", {{4, "PLAYER 1"}}},
        {"title_reads_like_a_slot", "PLAYER 1", {}, "PLAYER 1", {}},
        {"title_holds_title_element", "<title></title>", {}, "&lt;title&gt;&lt;/title&gt;", {}},
        {"markup", "Tom & Jerry <Cup>", {{3, "<b>Bo</b>"}}, "Tom &amp; Jerry &lt;Cup&gt;",
         {{3, "&lt;b&gt;Bo&lt;/b&gt;"}}},
        {"accents_to_cp1252", "Caf\xC3\xA9", {{1, "Ren\xC3\xA9"}, {2, "\xE2\x82\xAC"}}, "Caf\xE9",
         {{1, "Ren\xE9"}, {2, "\x80"}}},
        {"other_scripts_to_references", "\xE6\x9D\xAF", {{1, "\xD0\x96\xD0\xB0"}, {5, "\xF0\x9F\x8F\x86"}}, "&#26479;",
         {{1, "&#1046;&#1072;"}, {5, "&#127942;"}}},
        {"blanks_kept_empty_name_empty_cell", "  Open  ", {{1, "  Al  "}, {2, ""}}, "  Open  ",
         {{1, "  Al  "}, {2, ""}}},
    };
    const std::vector<int> layout = {1, 5, 3, 2, 4};
    for (const auto &c : cases) {
        Boxes boxes{c.typed, {}};
        int taken = 0;
        const std::string filled =
            FillBracketText(page(layout, placeholder), c.title, "5", Seeded, boxes.source(), counting(&taken));
        const auto cell = [&](int k) { return c.shown.count(k) ? c.shown.at(k) : "B" + std::to_string(k); };
        EXPECT_EQ(filled, page(layout, cell, "<title>" + c.titleShown + "</title>")) << c.name;
    }
}

TEST(FillBracketText, TextThatIsNoPlaceholderStaysByteForByte)
{
    for (const std::string text : {"<title>Kept</title>", "<TITLE></TITLE>", "PLAYER 13<", "PLAYER 0<", "PLAYER 05<",
                                   "PLAYER 100<", "PLAYER 1 <", "player 1<", "PLAYER  1<", "PLAYER 1", "PLAYER",
                                   "\x80\xFF<P"}) {
        Boxes boxes;
        int taken = 0;
        EXPECT_EQ(FillBracketText(text, "T", "12", Seeded, boxes.source(), counting(&taken)), text);
    }
}

TEST(FillBracketText, SizeThatIsNoNumberOfEntrantsIsRefusedBeforeAnyBoxIsRead)
{
    for (const std::string size : {"", "abc", "33", "-1", " 12", "+4", "4.5"}) {
        Boxes boxes;
        int taken = 0;
        EXPECT_THROW(FillBracketText("PLAYER 1<", "", size, Seeded, boxes.source(), counting(&taken)), Failure) << size;
        EXPECT_TRUE(boxes.asked.empty()) << size;
    }
}

class BracketFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "zandrel-bracket-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        m_output = m_folder / "bracket.html";
        std::ofstream(m_output, std::ios::binary) << "old page";
    }
    void TearDown() override
    {
        fs::permissions(m_folder, fs::perms::owner_all);
        fs::remove_all(m_folder);
    }
    std::string contents(const fs::path &path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path m_folder;
    fs::path m_output;
};

TEST_F(BracketFileTest, TemplateIsReadWholeThenDeletedAndOnlyThen)
{
    const std::string bytes = std::string("<html>\x96\0PLAYER 1<", 17) + std::string(300000, 'x') + "\r\n";
    const fs::path file = m_folder / "~rs1.htm";
    std::ofstream(file, std::ios::binary) << bytes;
    testing::FakeRuntime runtime(m_folder.string());
    EXPECT_EQ(ReadTemplateText(runtime, file.string()), bytes);
    EXPECT_FALSE(fs::exists(file));

    fs::create_directory(file);  // cannot be read: must stay
    EXPECT_THROW(ReadTemplateText(runtime, file.string()), Failure);
    EXPECT_TRUE(fs::is_directory(file));
}

TEST_F(BracketFileTest, WrittenFileHoldsExactlyThePage)
{
    testing::FakeRuntime runtime(m_folder.string());
    const std::string bytes("<html>\x96\xE9\0</html>", 16);
    WriteBracketFile(runtime, bracketFilePath(m_folder.string()), bytes);
    EXPECT_EQ(contents(m_output), bytes);
}

TEST_F(BracketFileTest, ReadOnlyFolderKeepsTheOldPage)
{
    fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec);
    if (access(m_folder.c_str(), W_OK) == 0)
        GTEST_SKIP() << "this user writes into read-only folders (root)";
    testing::FakeRuntime runtime(m_folder.string());
    EXPECT_THROW(WriteBracketFile(runtime, m_output.string(), "new page"), Failure);
    EXPECT_EQ(contents(m_output), "old page");
}

// A disk that fills up while the page is written; the page must never be
// written in place over the old one nor the old one removed first.
struct DiskFullRuntime : testing::FakeRuntime {
    using FakeRuntime::FakeRuntime;
    void replaceFile(const std::string &path, const Bytes &) override { throw Failure(FailureNumber::DiskFull, path); }
    void createFileExclusive(const std::string &path, const Bytes &) override { ADD_FAILURE() << "wrote " << path; }
    void removeFile(const std::string &path) override { ADD_FAILURE() << "removed " << path; }
};

TEST_F(BracketFileTest, FailedWriteKeepsTheOldPageAndPassesTheFailureOn)
{
    DiskFullRuntime runtime(m_folder.string());
    EXPECT_THROW(WriteBracketFile(runtime, m_output.string(), "new page"), Failure);
    EXPECT_EQ(contents(m_output), "old page");
}

}  // namespace
}  // namespace zandrel
