// The window on the real runtime, ended while Make Bracket is under way: closed during the wait before
// the web link, or by a signal then or while "Bracket Created" shows, it opens nothing more, closes its
// help and leaves nothing behind. On Windows the end of the session does the same.

#include "tests/qt/qt_test_support.h"

#include <gmock/gmock.h>

#include <csignal>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zandrel::testing {
namespace {

struct EndedDuringMakeBracket : WindowOnQt {
    // Opens the help, picks every list and presses Make Bracket, which returns after the wait.
    void makeBracket()
    {
        helpTopics();
        ASSERT_TRUE(onlyViewer());
        for (const char *list : {"sizeList", "typeList", "seedingList"})
            window.findChild<QComboBox *>(list)->setCurrentIndex(0);
        window.findChild<QPushButton *>("makeBracketButton")->click();
    }
    // What every ending leaves: no window, no viewer, nothing in the temporary folder, one box at most.
    void endsHavingOpened(std::size_t pages)
    {
        EXPECT_FALSE(window.isOpen());
        EXPECT_EQ(runtime.opened.size(), pages) << "the page at most, never the link";
        EXPECT_EQ(onlyViewer(), nullptr);
        EXPECT_EQ(temporaryFiles(), before) << "the help file, the lock and the socket go";
        EXPECT_EQ(runtime.messages.size(), 1u) << "no failure; only the page is announced";
    }
};

TEST_F(EndedDuringMakeBracket, ClosedDuringTheWaitItOpensNoLink)
{
    QTimer::singleShot(300, &window, [this] { window.close(); });
    makeBracket();
    endsHavingOpened(1);
}

#ifndef _WIN32  // no signals there; the session's end is tested below
TEST_F(EndedDuringMakeBracket, ASignalDuringTheWaitEndsItBeforeTheLink)
{
    QTimer::singleShot(300, &window, [] { std::raise(SIGTERM); });
    makeBracket();
    endsHavingOpened(1);
}

TEST_F(EndedDuringMakeBracket, ASignalWhileBracketCreatedShowsEndsItBeforeThePage)
{
    runtime.whileBoxShows = [this] {
        std::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([this] { return shutdown.requested(); }));
    };
    makeBracket();
    endsHavingOpened(0);
}
#endif

#ifdef _WIN32
// Windows ends a session by telling each window, and ends the process as soon as they have answered:
// by then the shutdown has run, the help is closed and its file gone.
TEST_F(WindowOnQt, TheEndOfTheWindowsSessionRunsTheShutdownBeforeTheWindowAnswers)
{
    helpTopics();
    ASSERT_TRUE(onlyViewer());
    const auto handle = reinterpret_cast<HWND>(window.winId());
    ::SendMessageW(handle, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    ::SendMessageW(handle, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(window.isOpen());
    EXPECT_EQ(temporaryFiles(), before) << "the help file and the lock go";
}
#endif

}  // namespace
}  // namespace zandrel::testing
