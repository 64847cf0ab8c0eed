// A later start of the real program asks the running copy, by its window
// title, to come to the front, and ends with status 0. The rest of the rule
// (simultaneous starts, a killed copy, what others put where the socket
// belongs) is tested on real copies only, by single_instance.sh.

#include "qt/qt_runtime.h"

#include "tests/support/qt_wait.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace zandrel::testing {
namespace {

TEST(SingleInstance, SecondStartAsksTheRunningCopyToComeToTheFrontAndExits)
{
    QtRuntime running;
    ASSERT_TRUE(running.claimInstance());
    QStringList asked;
    running.setActivationHandler([&asked](const QString &title) { asked << title; });

    QProcess second;
    second.start(QStringLiteral(ZANDREL_PROGRAM), {});
    ASSERT_TRUE(second.waitForStarted(10000)) << second.errorString().toStdString();
    ASSERT_TRUE(waitUntil([&second] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_TRUE(waitUntil([&asked] { return !asked.isEmpty(); }, 5000));
    EXPECT_EQ(asked, QStringList{"Zandrel"});
}

}  // namespace
}  // namespace zandrel::testing
