// Only one copy runs: real processes of the built program hand over to the
// copy that runs, and a copy that crashed does not block the next start.

#include "platform/qt_runtime.h"

#include "tests/support/qt_wait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>

namespace zandrel::testing {
namespace {

bool copyIsListening()
{
    QLocalSocket socket;
    socket.connectToServer(QtRuntime::instanceServerName());
    const bool listening = socket.waitForConnected(200);
    socket.abort();
    return listening;
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (copyIsListening())
            GTEST_SKIP() << "a copy of the program already runs for this user";
    }

    void TearDown() override
    {
        for (QProcess *process : {&first, &second}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    static void start(QProcess &process)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setProgram(QStringLiteral(ZANDREL_PROGRAM));
        process.start();
        ASSERT_TRUE(process.waitForStarted(10000)) << process.errorString().toStdString();
    }

    QProcess first;
    QProcess second;
};

TEST_F(SingleInstance, SecondStartAsksTheRunningCopyToComeToTheFrontAndExits)
{
    QtRuntime running;
    ASSERT_TRUE(running.claimInstance());
    QStringList asked;
    running.setActivationHandler([&asked](const QString &title) { asked << title; });

    start(second);
    ASSERT_TRUE(waitUntil([this] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_TRUE(waitUntil([&asked] { return !asked.isEmpty(); }, 5000));
    EXPECT_EQ(asked, QStringList{"Zandrel"});
}

TEST_F(SingleInstance, TwoRealCopiesLeaveOneRunning)
{
    start(first);
    ASSERT_TRUE(waitUntil(copyIsListening, 20000));
    start(second);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(copyIsListening());
}

TEST_F(SingleInstance, ACrashedCopyDoesNotBlockTheNextStart)
{
    start(first);
    ASSERT_TRUE(waitUntil(copyIsListening, 20000));
    first.kill();  // no shutdown at all: the socket's name is left behind
    ASSERT_TRUE(first.waitForFinished(5000));

    start(second);
    ASSERT_TRUE(waitUntil(copyIsListening, 20000));
    EXPECT_FALSE(second.waitForFinished(1000)) << "the new start must stay up, not hand over";
    EXPECT_EQ(second.state(), QProcess::Running);
}

}  // namespace
}  // namespace zandrel::testing
