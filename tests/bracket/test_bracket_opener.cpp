#include "bracket/bracket_opener.h"

#include "platform/failure.h"
#include "product.h"
#include "tests/support/fake_runtime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zandrel {
namespace {

using ::testing::ElementsAre;
using testing::FakeRuntime;

const std::string Link = product::WebLink;
const std::string CmdPage = R"(cmd /c start "C:\Bracketsbracket.html" "C:\Brackets\bracket.html")";
const std::string CmdLink = "cmd /c start \"" + Link + "\" \"" + Link + "\"";
const std::string ComPage = R"(command.com /c start "C:\Brackets\bracket.html")";
const std::string ComLink = "command.com /c start \"" + Link + "\"";

StartCommand windows(const char *program, const std::string &line)
{
    return StartCommand{program, {}, line, true};
}

StartCommand desktop(const char *program, const std::string &target)
{
    return StartCommand{program, {target}, {}, true};
}

TEST(OpenBracket, StartsThePageWaitsTenSecondsThenStartsTheLink)
{
    const struct {
        const char *name;
        DesktopHost host;
        std::string folder;
        std::optional<double> family;
        StartCommand page, link;
    } cases[] = {
        {"windows_nt", DesktopHost::Windows, R"(C:\Brackets)", 5.1, windows("cmd", CmdPage), windows("cmd", CmdLink)},
        {"windows_95", DesktopHost::Windows, R"(C:\Brackets)", 1.0, windows("command.com", ComPage),
         windows("command.com", ComLink)},
        {"windows_98", DesktopHost::Windows, R"(C:\Brackets)", 2.0, windows("command.com", ComPage),
         windows("command.com", ComLink)},
        {"windows_me_gets_cmd", DesktopHost::Windows, R"(C:\Brackets)", 3.0, windows("cmd", CmdPage),
         windows("cmd", CmdLink)},
        {"windows_odd_family_and_spaces", DesktopHost::Windows, R"(C:\Program Files\Zandrel)", 1.5,
         windows("cmd", R"(cmd /c start "C:\Program Files\Zandrelbracket.html" "C:\Program Files\Zandrel\bracket.html")"),
         windows("cmd", CmdLink)},
        {"windows_folder_with_slashes", DesktopHost::Windows, "C:/Brackets", std::nullopt, windows("cmd", CmdPage),
         windows("cmd", CmdLink)},
        {"windows_drive_root", DesktopHost::Windows, "C:/", 5.1,
         windows("cmd", R"(cmd /c start "C:bracket.html" "C:\bracket.html")"), windows("cmd", CmdLink)},
        {"linux", DesktopHost::FreeDesktop, "/opt/z", 2.0, desktop("xdg-open", "/opt/z/bracket.html"),
         desktop("xdg-open", Link)},
        {"mac", DesktopHost::MacOs, "/Apps/Z", std::nullopt, desktop("open", "/Apps/Z/bracket.html"),
         desktop("open", Link)},
    };
    for (const auto &c : cases) {
        FakeRuntime runtime;
        std::size_t startedBeforeWait = 0;
        runtime.onWait = [&] { startedBeforeWait = runtime.commands.size(); };
        BracketOpening how{c.host, [&] { return c.family; }, {}};
        OpenBracket(runtime, c.folder, how);
        EXPECT_THAT(runtime.commands, ElementsAre(c.page, c.link)) << c.name;
        EXPECT_THAT(runtime.waits, ElementsAre(10)) << c.name;
        EXPECT_EQ(startedBeforeWait, 1u) << c.name;
    }
}

TEST(OpenBracket, StopsEarlyWhenStartingFailsOrTheWindowCloses)
{
    FakeRuntime failing;
    failing.failStart = true;
    EXPECT_THROW(OpenBracket(failing, "/opt/z", {DesktopHost::FreeDesktop, {}, {}}), Failure);
    EXPECT_TRUE(failing.waits.empty());

    FakeRuntime noFamily;
    const auto familyFails = []() -> std::optional<double> { throw Failure(429, "no registry"); };
    EXPECT_THROW(OpenBracket(noFamily, "C:", {DesktopHost::Windows, familyFails, {}}), Failure);
    EXPECT_TRUE(noFamily.commands.empty());

    FakeRuntime closing;
    bool open = true;
    closing.onWait = [&] { open = false; };
    OpenBracket(closing, "/opt/z", {DesktopHost::FreeDesktop, {}, [&] { return open; }});
    EXPECT_THAT(closing.commands, ElementsAre(desktop("xdg-open", "/opt/z/bracket.html")));
}

// A bracket made during the wait runs completely inside the first one, which
// then goes on with its own link.
TEST(OpenBracket, NestedOpeningDuringTheWaitFinishesFirst)
{
    FakeRuntime runtime;
    const BracketOpening how{DesktopHost::FreeDesktop, {}, {}};
    runtime.onWait = [&] { OpenBracket(runtime, "/second", how); };
    OpenBracket(runtime, "/first", how);
    EXPECT_THAT(runtime.commands, ElementsAre(desktop("xdg-open", "/first/bracket.html"),
                                              desktop("xdg-open", "/second/bracket.html"), desktop("xdg-open", Link),
                                              desktop("xdg-open", Link)));
}

}  // namespace
}  // namespace zandrel
