// The Help Topics command and the help's exit steps against a fake window
// system: what is written out and when, what the user sees, what is left.

#include "platform/failure.h"
#include "help/help_controller.h"
#include "platform/tournament.h"
#include "help/help_windows.h"
#include "tests/support/fake_runtime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <set>
#include <utility>

namespace zandrel {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;
using ShowState = HelpWindows::ShowState;
using Log = std::vector<std::string>;

const Bytes HelpDocument{'h', 'e', 'l', 'p', 0, 1, 2, 0xFF};

// The runtime and the window system in one, with one viewer at most; the
// calls that matter go into `log`. A close request takes effect only when
// events are handled, as a queued close does.
class Fakes : public testing::FakeRuntime, public HelpWindows {
public:
    static constexpr Handle Viewer = 0x100;

    Handle findWindow(const std::string &title) override { return viewerOpen && title == viewerTitle ? Viewer : 0; }
    ShowState showState(Handle window) override { return window == Viewer ? state : ShowState::Unknown; }
    void restore(Handle window) override { log.push_back(window == Viewer ? "restore" : "restore another"); }
    void bringToFront(Handle window) override { log.push_back(window == Viewer ? "raise" : "raise another"); }
    void requestClose(Handle window) override
    {
        log.push_back(window == Viewer ? "close" : "close another");
        closeQueued = window == Viewer;
    }
    void openViewer(const std::string &path, const std::string &title) override
    {
        log.push_back("open " + path);
        std::ofstream(helpCollectionFileFor(path)) << "collection";  // as the viewer keeps one
        viewerTitle = title;
        viewerOpen = true;
    }
    void processEvents() override
    {
        log.push_back("events");
        if (std::exchange(closeQueued, false) && std::exchange(viewerOpen, false))
            log.push_back("closed");
    }
    void sleepMilliseconds(int milliseconds) override
    {
        FakeRuntime::sleepMilliseconds(milliseconds);
        log.push_back("sleep");
    }
    void createFileExclusive(const std::string &path, const Bytes &bytes) override
    {
        if (!diskFull || bytes.empty())
            return FakeRuntime::createFileExclusive(path, bytes);
        FakeRuntime::createFileExclusive(path, Bytes(bytes.begin(), bytes.begin() + 1));  // a part, then full
        throw Failure(FailureNumber::DiskFull, path + ": No space left on device");
    }
    void removeFile(const std::string &path) override
    {
        if (filesStayPut)
            throw Failure(FailureNumber::PermissionDenied, path + ": Permission denied");
        log.push_back("remove " + fs::path(path).extension().string());
        FakeRuntime::removeFile(path);
    }

    Log log;
    std::string viewerTitle;
    bool viewerOpen = false, closeQueued = false, diskFull = false, filesStayPut = false;
    ShowState state = ShowState::Normal;
};

class HelpTopics : public ::testing::Test {
protected:
    HelpTopics()
    {
        fs::create_directories(folder);
        fakes.tempFolder = folder.string();
        fakes.items[HelpItemNumber] = HelpDocument;
    }
    ~HelpTopics() override { fs::remove_all(folder); }

    std::set<std::string> filesLeft() const
    {
        std::set<std::string> names;
        for (const auto &entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    const fs::path folder = fs::temp_directory_path() / ("zandrel-help-" + std::to_string(std::random_device{}()));
    Fakes fakes;
    HelpController help{fakes, fakes};
};

TEST_F(HelpTopics, FirstTimeWritesTheDocumentOutThenOnlyBringsTheViewerBackOrReopensTheFile)
{
    help.ShowHelp();

    const std::string helpFile = help.helpFileNameString();
    EXPECT_EQ(fakes.log.back(), "open " + helpFile);
    EXPECT_EQ(fakes.viewerTitle, "Zandrel Help");
    EXPECT_EQ(fakes.readFile(helpFile, SIZE_MAX), HelpDocument);
    // The empty file that reserved the base name is gone; the help file and
    // the viewer's collection stay, under that base name.
    const std::string base = fs::path(helpFile).stem().string();
    EXPECT_EQ(base.rfind("~rs", 0), 0u) << base;
    const std::set<std::string> filesAfterFirst{base + ".qch", base + ".qhc"};
    EXPECT_EQ(filesLeft(), filesAfterFirst);
    EXPECT_THAT(fakes.messages, IsEmpty());

    // Later calls write nothing out: the log would show it.
    const struct {
        const char *name;
        bool open;
        ShowState state;
        Log calls;
    } cases[] = {
        {"normal_is_raised", true, ShowState::Normal, {"raise"}},
        {"minimised_is_only_restored", true, ShowState::Minimised, {"restore"}},
        {"state_unknown_is_left_alone", true, ShowState::Unknown, {}},
        {"closed_opens_the_same_file", false, ShowState::Normal, {"open " + helpFile}},
    };
    for (const auto &c : cases) {
        fakes.viewerOpen = c.open;
        fakes.state = c.state;
        fakes.log.clear();
        help.ShowHelp();
        EXPECT_EQ(fakes.log, c.calls) << c.name;
        EXPECT_EQ(filesLeft(), filesAfterFirst) << c.name;
    }
}

TEST_F(HelpTopics, AFailedExtractionIsToldOpensNothingLeavesNothingAndIsTriedAgain)
{
    // Each attempt starts afresh: the second gets past the name that failed
    // the first, and the third past the write that failed the second.
    const struct {
        const char *name;
        bool noTempName, diskFull;
        const char *message;
    } failures[] = {
        {"no_temporary_file", true, false, "Unable to get temp file name!"},
        {"disk_full", false, true, "Unable to save resource item to disk!"},
    };
    for (const auto &c : failures) {
        fakes.tempFolder = c.noTempName ? "" : folder.string();
        fakes.diskFull = c.diskFull;
        help.ShowHelp();
        ASSERT_EQ(fakes.messages.size(), 1u) << c.name;
        EXPECT_THAT(fakes.messages[0].text, ::testing::StartsWith(std::string(c.message) + "\n")) << c.name;
        EXPECT_EQ(fakes.messages[0].title, "Zandrel") << c.name;
        EXPECT_EQ(fakes.messages[0].icon, MessageIcon::Stop) << c.name;
        EXPECT_FALSE(fakes.viewerOpen) << c.name;
        EXPECT_THAT(filesLeft(), IsEmpty()) << c.name;
        fakes.messages.clear();
    }
    fakes.tempFolder = folder.string();
    fakes.diskFull = false;
    help.ShowHelp();
    EXPECT_THAT(fakes.messages, IsEmpty());
    EXPECT_TRUE(fakes.viewerOpen);
    EXPECT_EQ(fakes.readFile(help.helpFileNameString(), SIZE_MAX), HelpDocument);
}

TEST_F(HelpTopics, ExitClosesTheViewerWaitsWhileHandlingEventsThenDeletesBothFiles)
{
    help.ShowHelp();
    fakes.log.clear();

    help.shutdown();

    const Log &log = fakes.log;
    EXPECT_EQ(std::accumulate(fakes.sleeps.begin(), fakes.sleeps.end(), 0), HelpCloseWaitMilliseconds);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), "close");
    // Events are handled before the first sleep, so the viewer goes at once;
    // the files go only after the whole wait.
    EXPECT_LT(std::ranges::find(log, "closed"), std::ranges::find(log, "sleep"));
    EXPECT_THAT(Log(log.end() - 2, log.end()), ::testing::UnorderedElementsAre("remove .qch", "remove .qhc"));
    EXPECT_THAT(filesLeft(), IsEmpty());
}

TEST_F(HelpTopics, ExitSaysNothingWhenTheFilesWillNotGo)
{
    help.ShowHelp();
    fakes.filesStayPut = true;
    EXPECT_NO_THROW(help.shutdown());
    EXPECT_EQ(filesLeft().size(), 2u);
    EXPECT_THAT(fakes.messages, IsEmpty());
}

}  // namespace
}  // namespace zandrel
