// The make-bracket command and the opening it ends with, on the in-memory runtime
// with the real built-in pages: what is written, said and opened, and in which order.

#include "bracket/bracket_opener.h"
#include "bracket/bracket_view.h"
#include "bracket/make_bracket.h"
#include "platform/failure.h"
#include "product.h"
#include "tests/support/fake_runtime.h"

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

    // What each command opens; a Windows command line has backslashes for the runtime's slashes.
    std::vector<std::string> opened() const
    {
        std::vector<std::string> targets;
        for (const StartCommand &command : runtime.commands) {
            targets.push_back(command.arguments.empty() ? command.windowsCommandLine : command.arguments.back());
            std::ranges::replace(targets.back(), '\\', '/');
        }
        return targets;
    }
    // Every message shown, as "sign title: text": (!) exclamation, (i) information, (x) stop.
    std::vector<std::string> said() const
    {
        static const std::string signs[] = {"(!) ", "(i) ", "(x) "};
        std::vector<std::string> messages;
        for (const RecordedMessage &message : runtime.messages)
            messages.push_back(signs[static_cast<int>(message.icon)] + message.title + ": " + message.text);
        return messages;
    }

    FakeRuntime runtime;
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
        openedBeforeMessageClosed = runtime.commands.size();
    };
    makeBracket(runtime, view);

    const std::string page = runtime.text(Output);
    EXPECT_THAT(page, ::testing::AllOf(HasSubstr("<title>Club Night</title>"), HasSubstr(">Ada<"), HasSubstr(">Jo<"),
                                       ::testing::Not(HasSubstr("PLAYER"))));
    EXPECT_EQ(writtenBeforeMessage, page);
    EXPECT_THAT(said(), ElementsAre("(i) Bracket Created: Bracket created in file " + Output
                                    + ".  Will now attempt to open..."));
    EXPECT_EQ(openedBeforeMessageClosed, 0u);
    EXPECT_THAT(opened(), ElementsAre(HasSubstr(Output), HasSubstr(Link)));
    EXPECT_THAT(runtime.waits, ElementsAre(10));
    EXPECT_TRUE(runtime.filesIn("/tmp").empty()) << "the extracted page must not stay behind";
    EXPECT_EQ(runtime.randomCount, 0) << "a seeded bracket draws nothing";
}

TEST_F(MakeBracketTest, TheOldPageStaysWholeWhenWritingFails)
{
    runtime.files[Output] = {'o', 'l', 'd'};
    view.name = [this](int) { return runtime.diskFull = true, std::string(); };  // the disk fills up meanwhile
    EXPECT_THROW(makeBracket(runtime, view), Failure);
    EXPECT_EQ(runtime.text(Output), "old");
    EXPECT_TRUE(runtime.messages.empty() && runtime.commands.empty());
}

TEST_F(MakeBracketTest, AMissingItemIsReportedAndNothingIsWrittenOrOpened)
{
    runtime.items.erase(110);
    view.size = 10;
    makeBracket(runtime, view);
    EXPECT_THAT(said(), ElementsAre("(x) Zandrel: Unable to save resource item to disk!\nNo built-in item 110"));
    EXPECT_TRUE(runtime.files.empty() && runtime.commands.empty()) << "nothing written, nothing left";
}

TEST_F(MakeBracketTest, ASecondCommandDuringTheWaitRunsCompletelyInsideTheFirst)
{
    runtime.onWait = [this] {
        view.size = 7;
        view.name = [](int box) { return box == 7 ? "Late entrant" : ""; };
        makeBracket(runtime, view);
    };
    makeBracket(runtime, view);
    EXPECT_THAT(opened(), ElementsAre(HasSubstr(Output), HasSubstr(Output), HasSubstr(Link), HasSubstr(Link)));
    EXPECT_EQ(runtime.messages.size(), 2u);
    EXPECT_THAT(runtime.text(Output), HasSubstr(">Late entrant<")) << "the later page stays";
}

TEST_F(MakeBracketTest, ClosingTheWindowDuringTheWaitOpensNoLink)
{
    runtime.onWait = [this] { view.open = false; };
    makeBracket(runtime, view);
    EXPECT_THAT(opened(), ElementsAre(HasSubstr(Output)));
}

const StartCommand CmdLink{"cmd", {}, "cmd /c start \"" + Link + "\" \"" + Link + "\""};

// The cmd form's title is the folder run straight into "bracket.html".
TEST(OpenBracket, StartsThePageWaitsTenSecondsThenStartsTheLink)
{
    const struct { const char *name; DesktopHost host; std::string folder; std::optional<double> family;
        StartCommand page, link; } cases[] = {
        {"windows_98_folder_with_slashes", DesktopHost::Windows, "C:/Bz/Y", 2.0,
         {"command.com", {}, R"(command.com /c start "C:\Bz\Y\bracket.html")"},
         {"command.com", {}, "command.com /c start \"" + Link + "\""}},
        {"windows_odd_family_and_spaces", DesktopHost::Windows, R"(C:\Program Files\Zandrel)", 1.5,
         {"cmd", {}, R"(cmd /c start "C:\Program Files\Zandrelbracket.html" "C:\Program Files\Zandrel\bracket.html")"},
         CmdLink},
        {"windows_drive_root_family_unknown", DesktopHost::Windows, "C:/", std::nullopt,
         {"cmd", {}, R"(cmd /c start "C:bracket.html" "C:\bracket.html")"}, CmdLink},
        {"linux", DesktopHost::FreeDesktop, "/opt/z", 2.0, {"xdg-open", {"/opt/z/bracket.html"}, {}},
         {"xdg-open", {Link}, {}}},
        {"mac", DesktopHost::MacOs, "/Apps/Z", std::nullopt, {"open", {"/Apps/Z/bracket.html"}, {}}, {"open", {Link}, {}}},
    };
    for (const auto &c : cases) {
        FakeRuntime runtime;
        std::size_t startedBeforeWait = 0;
        runtime.onWait = [&] { startedBeforeWait = runtime.commands.size(); };
        openBracket(runtime, c.folder, {c.host, [&] { return c.family; }, {}});
        EXPECT_THAT(runtime.commands, ElementsAre(c.page, c.link)) << c.name;
        EXPECT_THAT(runtime.waits, ElementsAre(10)) << c.name;
        EXPECT_EQ(startedBeforeWait, 1u) << c.name;
    }
}

TEST(OpenBracket, StopsEarlyWhenStartingFailsOrTheFamilyCannotBeHad)
{
    FakeRuntime failing;
    failing.failStart = true;
    EXPECT_THROW(openBracket(failing, "/opt/z", {DesktopHost::FreeDesktop, {}, {}}), Failure);
    EXPECT_TRUE(failing.waits.empty());
    FakeRuntime noFamily;
    const auto familyFails = []() -> std::optional<double> { throw Failure(429, "no registry"); };
    EXPECT_THROW(openBracket(noFamily, "C:", {DesktopHost::Windows, familyFails, {}}), Failure);
    EXPECT_TRUE(noFamily.commands.empty());
}

}  // namespace
}  // namespace zandrel::testing
