// SIGTERM closes the window through its normal close, in the test's own
// process: the help files it wrote out, the socket and the lock go with it.
// The exit status and the other signals are tested on the real program by
// single_instance.sh.

#include "app/form1.h"
#include "qt/qt_runtime.h"
#include "qt/signal_shutdown.h"

#include "tests/support/qt_wait.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>

#include <csignal>

namespace zandrel::testing {
namespace {

// The real runtime, except that a box start-up may show is not waited on.
class BoxlessQtRuntime : public QtRuntime {
public:
    void showMessage(const std::string &, const std::string &, MessageIcon) override {}
};

TEST(SignalShutdown, TermClosesTheWindowAndLeavesNothingInTheRunsFolders)
{
    // The test main gives this run one folder for temporary files and for the
    // instance; the help files are written there.
    const QDir own(QDir::tempPath());
    const auto left = [&own] {
        return own.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).join(' ').toStdString();
    };
    BoxlessQtRuntime runtime;
    Form1 window(runtime);
    const SignalShutdown shutdown(window);
    ASSERT_TRUE(window.Form_Load());
    window.show();
    window.findChild<QAction *>(QStringLiteral("mnuHelpTopics"))->trigger();
    ASSERT_EQ(own.entryList({QStringLiteral("~rs*.qch")}, QDir::Files | QDir::Hidden).size(), 1) << left();

    std::raise(SIGTERM);
    ASSERT_TRUE(waitUntil([&shutdown] { return shutdown.requested(); }));
    EXPECT_FALSE(window.isOpen());
    EXPECT_EQ(left(), "");
}

}  // namespace
}  // namespace zandrel::testing
