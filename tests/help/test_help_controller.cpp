// Help Topics and the help's exit steps on the in-memory services and a fake window system.

#include "help/help_controller.h"
#include "help/help_windows.h"
#include "platform/tournament.h"
#include "tests/support/fakes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace zandrel {
namespace {

using ::testing::IsEmpty;
using Log = std::vector<std::string>;

// The services and the window system in one, with one viewer at most, titled `viewer`
// while it is open. A close request takes effect only while events are handled.
struct Fakes : testing::FakeSystem, HelpWindows {
    Handle findWindow(const std::string &title) override { return !viewer.empty() && title == viewer; }
    ShowState showState(Handle) override { return state; }
    void restore(Handle) override { log.push_back("restore"); }
    void bringToFront(Handle) override { log.push_back("raise"); }
    void requestClose(Handle) override { closeQueued = true; }
    void openViewer(const std::string &path, const std::string &title) override
    {
        log.push_back("open " + path);
        viewer = title;
    }
    void processEvents() override
    {
        if (closeQueued && !std::exchange(viewer, "").empty())
            log.push_back("closed");
    }
    void sleepMilliseconds(int) override { log.push_back("sleep"); }
    void removeFile(const std::string &path) override { FakeSystem::removeFile(path), log.push_back("remove"); }

    Log log;
    std::string viewer;
    bool closeQueued = false;
    ShowState state = ShowState::Normal;
};

struct HelpTopics : ::testing::Test {
    HelpTopics() { fakes.items[HelpItemNumber] = {'h', 'e', 'l', 'p', 0, 0xFF}; }
    Fakes fakes;
    HelpController help{fakes, fakes, fakes, fakes};
};

TEST_F(HelpTopics, FirstTimeWritesTheDocumentOutThenOnlyBringsTheViewerBackOrReopensTheFile)
{
    help.showHelp();
    EXPECT_EQ(fakes.files[help.helpFilePath()], fakes.items[HelpItemNumber]);
    const struct { bool open; Fakes::ShowState state; Log calls; } cases[] = {
        {true, Fakes::ShowState::Normal, {"raise"}},
        {true, Fakes::ShowState::Minimised, {"restore"}},
        {true, Fakes::ShowState::Unknown, {}},
        {false, Fakes::ShowState::Normal, {"open " + help.helpFilePath()}},
    };
    for (const auto &c : cases) {
        fakes.log.clear();
        fakes.viewer = c.open ? fakes.viewer : "";
        fakes.state = c.state;
        help.showHelp();
        EXPECT_EQ(fakes.log, c.calls);
        EXPECT_EQ(fakes.filesIn("/tmp").size(), 1u) << "the help file, written out once";
    }
}

// Each attempt starts afresh, past the name or the write that failed the one before.
TEST_F(HelpTopics, AFailedExtractionIsToldOpensNothingLeavesNothingAndIsTriedAgain)
{
    const auto helpTopics = [this] { runTelling(fakes, [this] { help.showHelp(); }); };
    fakes.tempFolder.clear();
    helpTopics();
    fakes.tempFolder = "/tmp";
    fakes.diskFull = true;
    helpTopics();
    ASSERT_EQ(fakes.messages.size(), 2u);
    EXPECT_THAT(fakes.messages[0].text, ::testing::StartsWith("Unable to get temp file name!\n"));
    EXPECT_THAT(fakes.messages[1].text, ::testing::StartsWith("Unable to save resource item to disk!\n"));
    EXPECT_THAT(fakes.messages, ::testing::Each(::testing::Field(&Notice::icon, MessageIcon::Stop)));
    EXPECT_TRUE(fakes.viewer.empty());
    EXPECT_THAT(fakes.files, IsEmpty());
    fakes.diskFull = false;
    help.showHelp();
    EXPECT_EQ(fakes.files[help.helpFilePath()], fakes.items[HelpItemNumber]);
}

// A cleaner of the shared temporary folder removes the file while the
// program runs; then another user may make a file under the same name.
TEST_F(HelpTopics, AHelpFileThatIsGoneOrNoLongerOursIsWrittenOutAfreshUnderANewName)
{
    help.showHelp();
    const std::string first = help.helpFilePath();
    fakes.files.erase(first);
    fakes.viewer.clear();
    help.showHelp();
    const std::string second = help.helpFilePath();
    EXPECT_NE(second, first);
    EXPECT_EQ(fakes.files[second], fakes.items[HelpItemNumber]);

    fakes.files.erase(second);
    fakes.files[second] = {'t', 'h', 'e', 'i', 'r', 's'};
    fakes.othersFiles.insert(second);
    fakes.viewer.clear();
    fakes.log.clear();
    help.showHelp();
    const std::string third = help.helpFilePath();
    EXPECT_NE(third, second);
    EXPECT_EQ(fakes.log.back(), "open " + third) << "never the file under the old name";
    help.shutdown();
    EXPECT_EQ(fakes.files[second], (Bytes{'t', 'h', 'e', 'i', 'r', 's'})) << "the other user's file is left alone";
    EXPECT_FALSE(fakes.files.contains(third));
    EXPECT_THAT(fakes.messages, IsEmpty());
}

TEST_F(HelpTopics, ExitClosesTheViewerWaitsWhileHandlingEventsThenDeletesTheFile)
{
    help.showHelp();
    fakes.log.clear();
    help.shutdown();
    Log steps = fakes.log;
    steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
    EXPECT_EQ(steps, (Log{"closed", "sleep", "remove"})) << "the viewer goes as the wait begins, the file after it";
    EXPECT_THAT(fakes.files, IsEmpty());
}

// At exit only our own file goes, and silently: one that will not go stays, and so does another user's
// file made under the name after a cleaner took ours.
TEST_F(HelpTopics, ExitRemovesOnlyItsOwnFileAndSaysNothing)
{
    for (const bool othersFile : {false, true}) {
        Fakes system;
        system.items = fakes.items;
        HelpController exiting(system, system, system, system);
        exiting.showHelp();
        const std::string path = exiting.helpFilePath();
        if (othersFile)
            system.othersFiles.insert(path);
        else
            system.readOnlyFolders.insert("/tmp");
        EXPECT_NO_THROW(exiting.shutdown());
        EXPECT_TRUE(system.files.contains(path)) << othersFile;
        EXPECT_THAT(system.messages, IsEmpty());
    }
}

}  // namespace
}  // namespace zandrel
