// One copy: a second start of the real program hands the running copy the title to bring to the front.

#include "tests/qt/qt_test_support.h"

#include <gmock/gmock.h>

namespace zandrel::testing {
namespace {

TEST(SingleInstanceTest, ASecondStartOfTheProgramAsksTheRunningCopyToComeToTheFront)
{
    SingleInstance running;
    ASSERT_TRUE(running.claim());
    QStringList asked;
    running.setActivationHandler([&asked](const QString &title) { asked << title; });
    QProcess second;
    second.start(QStringLiteral(ZANDREL_PROGRAM), {});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty() && second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(asked, QStringList{"Zandrel"});
}

}  // namespace
}  // namespace zandrel::testing
