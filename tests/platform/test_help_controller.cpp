// The Help Topics command and the help's exit steps, against a fake window
// system: how often the help is written out, what the viewer is opened on,
// how an open viewer is brought back, what the user is told when something
// fails, and what is left in the temporary folder.

#include "platform/failure.h"
#include "platform/help_controller.h"
#include "platform/help_windows.h"
#include "tests/support/fake_runtime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace zandrel {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::FakeRuntime;
using Handle = HelpWindows::Handle;
using ShowState = HelpWindows::ShowState;

// Windows by title. A close request takes effect only when events are
// handled, as a queued close does; the log shows when.
class FakeHelpWindows : public HelpWindows {
public:
    explicit FakeHelpWindows(std::vector<std::string> &log) : m_log(log) {}

    Handle findWindow(const std::string &title) override
    {
        const auto it = std::find_if(windows.begin(), windows.end(), [&](auto &w) { return w.second.title == title; });
        return it == windows.end() ? 0 : it->first;
    }
    ShowState showState(Handle window) override
    {
        const auto it = windows.find(window);
        return it == windows.end() ? ShowState::Unknown : it->second.state;
    }
    void restore(Handle window) override { restored.push_back(window); }
    void bringToFront(Handle window) override { raised.push_back(window); }
    void requestClose(Handle window) override
    {
        m_log.push_back("close requested");
        m_closing.push_back(window);
    }
    void openViewer(const std::string &path, const std::string &title) override
    {
        if (!openFailure.empty())
            throw Failure(FailureNumber::PathFileAccess, openFailure);
        opened.push_back(path);
        EXPECT_EQ(title, "Zandrel Help");
        std::ofstream(helpCollectionFileFor(path)) << "collection";  // as the viewer keeps one
        windows[m_nextHandle++] = {title, ShowState::Normal};
    }
    void deliverCloseRequests()
    {
        for (Handle window : m_closing)
            if (windows.erase(window) != 0)
                m_log.push_back("viewer closed");
        m_closing.clear();
    }

    struct Window {
        std::string title;
        ShowState state;
    };
    std::map<Handle, Window> windows;
    std::vector<std::string> opened;
    std::vector<Handle> restored;
    std::vector<Handle> raised;
    std::string openFailure;  // openViewer throws with this reason when set

private:
    std::vector<std::string> &m_log;
    std::vector<Handle> m_closing;
    Handle m_nextHandle = 0x100;
};

// Event handling reaches the windows; the disk can be full and files can
// refuse to go.
class HelpRuntime : public FakeRuntime {
public:
    HelpRuntime(std::vector<std::string> &log, FakeHelpWindows &windows) : m_log(log), m_windows(windows) {}

    void processEvents() override
    {
        m_log.push_back("events");
        m_windows.deliverCloseRequests();
    }
    void sleepMilliseconds(int milliseconds) override
    {
        FakeRuntime::sleepMilliseconds(milliseconds);
        m_log.push_back("sleep");
    }
    std::string createTempFile(const std::string &prefix) override
    {
        ++tempFilesMade;
        return FakeRuntime::createTempFile(prefix);
    }
    void createFileExclusive(const std::string &path, const Bytes &bytes) override
    {
        if (!diskFull || bytes.empty())
            return FakeRuntime::createFileExclusive(path, bytes);
        FakeRuntime::createFileExclusive(path, Bytes(bytes.begin(), bytes.begin() + 1));
        throw Failure(FailureNumber::DiskFull, path + ": No space left on device");
    }
    void removeFile(const std::string &path) override
    {
        if (filesStayPut)
            throw Failure(FailureNumber::PermissionDenied, path + ": Permission denied");
        m_log.push_back("remove " + fs::path(path).extension().string());
        FakeRuntime::removeFile(path);
    }

    bool diskFull = false;
    bool filesStayPut = false;
    int tempFilesMade = 0;

private:
    std::vector<std::string> &m_log;
    FakeHelpWindows &m_windows;
};

const Bytes HelpDocument{'h', 'e', 'l', 'p', 0, 1, 2, 0xFF};

class HelpTopics : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = fs::temp_directory_path() /
                   (std::string("zandrel-help-") + info->name() + "-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_folder);
        runtime.tempFolder = m_folder.string();
        runtime.items[HelpItemNumber] = HelpDocument;
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::vector<std::string> filesLeft() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(m_folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    Bytes contentOf(const std::string &path) const
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::ptrdiff_t firstInLog(const std::string &entry) const
    {
        return std::find(log.begin(), log.end(), entry) - log.begin();
    }

    fs::path m_folder;
    std::vector<std::string> log;
    FakeHelpWindows windows{log};
    HelpRuntime runtime{log, windows};
    HelpController help{runtime, windows};
};

TEST_F(HelpTopics, FirstTimeWritesTheDocumentOutOnceAndOpensTheViewerOnIt)
{
    help.ShowHelp();

    ASSERT_EQ(windows.opened.size(), 1u);
    const fs::path helpFile = windows.opened[0];
    EXPECT_EQ(help.helpFileNameString(), helpFile.string());
    EXPECT_EQ(helpFile.parent_path(), m_folder);
    EXPECT_EQ(helpFile.filename().string().rfind("~rs", 0), 0u) << helpFile;
    EXPECT_EQ(helpFile.extension(), ".qch");
    EXPECT_EQ(contentOf(helpFile.string()), HelpDocument);
    // The empty file that reserved the base name is gone; what stays is the
    // help file and the viewer's collection beside it, under the same base name.
    EXPECT_EQ(runtime.tempFilesMade, 1);
    EXPECT_EQ(filesLeft(), (std::vector<std::string>{helpFile.stem().string() + ".qch",
                                                     helpFile.stem().string() + ".qhc"}));
    EXPECT_THAT(runtime.messages, IsEmpty());
}

TEST_F(HelpTopics, AgainWhileTheViewerIsOpenOnlyBringsItBack)
{
    const struct {
        const char *name;
        ShowState state;
        std::size_t restores;
        std::size_t raises;
    } cases[] = {
        {"normal_is_raised", ShowState::Normal, 0, 1},
        {"minimised_is_only_restored", ShowState::Minimised, 1, 0},
        {"state_unknown_is_left_alone", ShowState::Unknown, 0, 0},
    };
    help.ShowHelp();
    const Handle viewer = windows.findWindow(HelpTitle);
    ASSERT_NE(viewer, 0u);
    const std::vector<std::string> filesAfterFirst = filesLeft();

    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        windows.restored.clear();
        windows.raised.clear();
        windows.windows.at(viewer).state = c.state;

        help.ShowHelp();

        EXPECT_EQ(windows.opened.size(), 1u);
        EXPECT_EQ(runtime.tempFilesMade, 1);
        EXPECT_EQ(filesLeft(), filesAfterFirst);
        EXPECT_EQ(windows.restored, std::vector<Handle>(c.restores, viewer));
        EXPECT_EQ(windows.raised, std::vector<Handle>(c.raises, viewer));
    }
}

TEST_F(HelpTopics, AfterTheViewerClosedTheSameFileOpensAgain)
{
    help.ShowHelp();
    windows.windows.clear();  // the user closed it
    help.ShowHelp();

    ASSERT_EQ(windows.opened.size(), 2u);
    EXPECT_EQ(windows.opened[1], windows.opened[0]);
    EXPECT_EQ(runtime.tempFilesMade, 1);
    EXPECT_EQ(filesLeft().size(), 2u);
}

TEST_F(HelpTopics, AFailedExtractionIsToldOpensNothingLeavesNothingAndIsTriedAgain)
{
    const struct {
        const char *name;
        std::function<void(HelpRuntime &, bool broken)> cause;
        const char *message;
    } cases[] = {
        {"no_temporary_file", [this](HelpRuntime &r, bool broken) { r.tempFolder = broken ? "" : m_folder.string(); },
         "Unable to get temp file name!"},
        {"no_help_item",
         [](HelpRuntime &r, bool broken) {
             if (broken)
                 r.items.clear();
             else
                 r.items[HelpItemNumber] = HelpDocument;
         },
         "Unable to save resource item to disk!"},
        {"disk_full", [](HelpRuntime &r, bool broken) { r.diskFull = broken; }, "Unable to save resource item to disk!"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FakeHelpWindows caseWindows(log);
        HelpRuntime caseRuntime(log, caseWindows);
        caseRuntime.items[HelpItemNumber] = HelpDocument;
        caseRuntime.tempFolder = m_folder.string();
        HelpController caseHelp(caseRuntime, caseWindows);
        c.cause(caseRuntime, true);

        caseHelp.ShowHelp();

        ASSERT_EQ(caseRuntime.messages.size(), 1u);
        EXPECT_EQ(caseRuntime.messages[0].text, c.message);
        EXPECT_EQ(caseRuntime.messages[0].title, "Zandrel");
        EXPECT_EQ(caseRuntime.messages[0].icon, MessageIcon::Stop);
        EXPECT_THAT(caseWindows.opened, IsEmpty());
        EXPECT_EQ(caseHelp.helpFileNameString(), "");
        EXPECT_THAT(filesLeft(), IsEmpty());

        c.cause(caseRuntime, false);
        caseHelp.ShowHelp();

        EXPECT_EQ(caseRuntime.messages.size(), 1u);
        ASSERT_EQ(caseWindows.opened.size(), 1u);
        EXPECT_EQ(contentOf(caseWindows.opened[0]), HelpDocument);
        caseHelp.shutdown();
    }
}

TEST_F(HelpTopics, AViewerThatCannotOpenIsToldWithItsReasonAndTheFileIsKept)
{
    windows.openFailure = "no database driver";
    help.ShowHelp();

    ASSERT_EQ(runtime.messages.size(), 1u);
    EXPECT_THAT(runtime.messages[0].text, HasSubstr("Unable to open the help file!"));
    EXPECT_THAT(runtime.messages[0].text, HasSubstr("no database driver"));
    EXPECT_EQ(runtime.messages[0].icon, MessageIcon::Stop);

    windows.openFailure.clear();
    help.ShowHelp();
    EXPECT_EQ(windows.opened, std::vector<std::string>{help.helpFileNameString()});
    EXPECT_EQ(runtime.tempFilesMade, 1);
}

TEST_F(HelpTopics, ExitClosesTheViewerWaitsWhileHandlingEventsThenDeletesBothFiles)
{
    help.ShowHelp();
    const std::string helpFile = help.helpFileNameString();
    log.clear();

    help.shutdown();

    EXPECT_EQ(std::accumulate(runtime.sleeps.begin(), runtime.sleeps.end(), 0), HelpCloseWaitMilliseconds);
    EXPECT_EQ(firstInLog("close requested"), 0);
    // Events are handled before the first sleep, so the viewer goes at once;
    // the files go only after the whole wait.
    EXPECT_LT(firstInLog("viewer closed"), firstInLog("sleep"));
    const auto lastSleep = log.rend() - std::find(log.rbegin(), log.rend(), std::string("sleep")) - 1;
    EXPECT_LT(lastSleep, firstInLog("remove .qch"));
    EXPECT_LT(lastSleep, firstInLog("remove .qhc"));
    EXPECT_LT(firstInLog("remove .qhc"), static_cast<std::ptrdiff_t>(log.size()));
    EXPECT_THAT(filesLeft(), IsEmpty());
    EXPECT_EQ(help.helpFileNameString(), helpFile);
}

TEST_F(HelpTopics, ExitWithoutHelpOrWithFilesThatStayPutSaysNothing)
{
    help.shutdown();
    EXPECT_EQ(firstInLog("close requested"), static_cast<std::ptrdiff_t>(log.size()));

    HelpController other(runtime, windows);
    other.ShowHelp();
    runtime.filesStayPut = true;
    EXPECT_NO_THROW(other.shutdown());
    EXPECT_EQ(filesLeft().size(), 2u);
    EXPECT_THAT(runtime.messages, IsEmpty());
}

}  // namespace
}  // namespace zandrel
