// The make-bracket command and the opening it ends with, on the in-memory runtime
// with the real built-in pages: what is written, said and opened, and in which order.

#include "bracket/bracket_opener.h"
#include "bracket/bracket_view.h"
#include "bracket/make_bracket.h"
#include "platform/failure.h"
#include "product.h"
#include "tests/support/fakes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace zandrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string Output = "/program/bracket.html";
const std::string Link = product::WebLink;

struct FakeView : BracketView {
    std::optional<int> size = 12;
    std::optional<TournamentKind> kind = TournamentKind::SingleElimination;
    std::optional<Seeding> seeding = Seeding::Seeded;
    std::string title;
    std::function<std::string(int)> name = [](int) { return std::string(); };
    bool open = true;
    std::vector<ChoiceList> focused;

    std::optional<int> chosenSize() const override { return size; }
    std::optional<TournamentKind> chosenKind() const override { return kind; }
    std::optional<Seeding> chosenSeeding() const override { return seeding; }
    std::string titleText() const override { return title; }
    std::string playerName(int box) const override { return name(box); }
    void focusList(ChoiceList list) override { focused.push_back(list); }
    bool isOpen() const override { return open; }
};

class MakeBracketTest : public ::testing::Test {
protected:
    MakeBracketTest() { runtime.carryBuiltInItems(); }

    std::vector<std::string> opened() const { return runtime.opened; }
    std::vector<std::string> said() const { return testing::said(runtime); }
    // As the window runs it: a failure is told in its box.
    void make() { runTelling(runtime, [this] { makeBracket(runtime.services(), view); }); }

    FakeSystem runtime;
    FakeView view;
};

TEST_F(MakeBracketTest, SeededPageIsWrittenAnnouncedThenOpenedAndTheLinkFollows)
{
    view.title = "Club Night";
    view.name = [](int box) { return box == 1 ? "Ada" : box == 10 ? "Jo" : ""; };
    std::string writtenBeforeMessage;
    std::size_t openedBeforeMessageClosed = 0;
    runtime.onMessage = [&] {
        writtenBeforeMessage = runtime.text(Output);
        openedBeforeMessageClosed = runtime.opened.size();
    };
    make();

    const std::string page = runtime.text(Output);
    EXPECT_THAT(page, ::testing::AllOf(HasSubstr("<title>Club Night</title>"), HasSubstr(">Ada<"), HasSubstr(">Jo<"),
                                       ::testing::Not(HasSubstr("PLAYER"))));
    EXPECT_EQ(writtenBeforeMessage, page);
    EXPECT_THAT(said(), ElementsAre("(i) Bracket Created: Bracket created in file " + Output
                                    + ".  Will now attempt to open..."));
    EXPECT_EQ(openedBeforeMessageClosed, 0u);
    EXPECT_THAT(opened(), ElementsAre(Output, Link));
    EXPECT_THAT(runtime.waits, ElementsAre(10));
    EXPECT_TRUE(runtime.filesIn("/tmp").empty()) << "the extracted page must not stay behind";
    EXPECT_EQ(runtime.randomCount, 0) << "a seeded bracket draws nothing";
}

TEST_F(MakeBracketTest, TheOldPageStaysWholeWhenWritingFails)
{
    runtime.files[Output] = {'o', 'l', 'd'};
    view.name = [this](int) { return runtime.diskFull = true, std::string(); };  // the disk fills up meanwhile
    EXPECT_THROW(makeBracket(runtime.services(), view), Failure);
    EXPECT_EQ(runtime.text(Output), "old");
    EXPECT_TRUE(runtime.messages.empty() && runtime.opened.empty());
}

TEST_F(MakeBracketTest, AMissingItemIsReportedAndNothingIsWrittenOrOpened)
{
    runtime.items.erase(110);
    view.size = 10;
    make();
    EXPECT_THAT(said(), ElementsAre("(x) Zandrel: Unable to save resource item to disk!\nNo built-in item 110"));
    EXPECT_TRUE(runtime.files.empty() && runtime.opened.empty()) << "nothing written, nothing left";
}

TEST_F(MakeBracketTest, ASecondCommandDuringTheWaitRunsCompletelyInsideTheFirst)
{
    runtime.onWait = [this] {
        view.size = 7;
        view.name = [](int box) { return box == 7 ? "Late entrant" : ""; };
        make();
    };
    make();
    EXPECT_THAT(opened(), ElementsAre(Output, Output, Link, Link));
    EXPECT_EQ(runtime.messages.size(), 2u);
    EXPECT_THAT(runtime.text(Output), HasSubstr(">Late entrant<")) << "the later page stays";
}

// The page at once, the link ten seconds later; a page the system will not open, at once or during the wait,
// is told with its path and the reason, and no link follows; a link that will not open is nobody's loss.
TEST(OpenBracket, OpensThePageThenTheLinkAndTellsWhenThePageCannotBeOpened)
{
    const std::string page = "/opt/z/bracket.html";
    const std::string told = "(!) Bracket Not Opened: Bracket created in file " + page +
                             ", but it could not be opened:\nno browser\n\nOpen that file with your web browser to "
                             "see and print it.";
    const struct {
        const char *name;
        std::string refuseAtOnce, refuseLater, refuseLink;
        bool closedMeanwhile;
        std::vector<std::string> opened, said;
        std::vector<int> waits;
        std::vector<bool> endedEarly;
    } cases[] = {
        {"opened", "", "", "", false, {page, Link}, {}, {10}, {false}},
        {"refused_at_once", "no browser", "", "", false, {}, {told}, {}, {}},
        {"refused_during_the_wait", "", "no browser", "", false, {page}, {told}, {10}, {true}},
        {"refused_and_the_window_closed", "", "no browser", "", true, {page}, {}, {10}, {true}},
        {"window_closed", "", "", "", true, {page}, {}, {10}, {false}},
        {"link_refused", "", "", "no browser", false, {page}, {}, {10}, {false}},
    };
    for (const auto &c : cases) {
        FakeSystem runtime;
        runtime.refuseAtOnce = c.refuseAtOnce;
        runtime.refuseLater = c.refuseLater;
        std::size_t openedBeforeWait = 0;
        runtime.onWait = [&] { openedBeforeWait = runtime.opened.size(), runtime.refuseAtOnce = c.refuseLink; };
        runTelling(runtime, [&] { openBracket(runtime, runtime, "/opt/z", [&c] { return !c.closedMeanwhile; }); });
        EXPECT_EQ(runtime.opened, c.opened) << c.name;
        EXPECT_EQ(said(runtime), c.said) << c.name;
        EXPECT_EQ(runtime.waits, c.waits) << c.name;
        EXPECT_EQ(runtime.waitsEndedEarly, c.endedEarly) << c.name;
        EXPECT_EQ(openedBeforeWait, c.waits.empty() ? 0u : 1u) << c.name;
    }
}

}  // namespace
}  // namespace zandrel::testing
