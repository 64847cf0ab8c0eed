// Documents opened with the desktop's own opener: the target whole, and a refusal told.

#include "tests/qt/qt_test_support.h"

#include <gmock/gmock.h>

namespace zandrel::testing {
namespace {

#ifndef _WIN32
// The desktop's opener gets the target as its one argument, as written, and is watched until it ends: a
// failure it reports by its exit status becomes the opening's refusal; one that cannot be started is refused
// at once. (On Windows the shell opens it; the Windows check drives that.)
TEST(DocumentOpener, TheOpenerGetsTheTargetWholeAndItsFailureIsTold)
{
    const QTemporaryDir dir;
    const QString record = dir.filePath("given");
    QFile opener(dir.filePath("xdg-open"));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    // Written aside and then named, so the record is there whole or not at all.
    opener.write("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > \"$ZANDREL_TEST_RECORD.new\"\n"
                 "mv \"$ZANDREL_TEST_RECORD.new\" \"$ZANDREL_TEST_RECORD\"\nexit \"$ZANDREL_TEST_STATUS\"\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()) + ':' + path);
    qputenv("ZANDREL_TEST_RECORD", QFile::encodeName(record));
    const std::string target = "/srv/Club %PATH% 100% & $(touch INJECTED) 'x\" ;/bracket.html";
    const struct {
        const char *status, *refusal;
    } cases[] = {{"0", ""}, {"3", "xdg-open found no program to open it with (exit status 3)"},
                 {"4", "the program that opens it reported a failure (xdg-open exit status 4)"}};
    DocumentOpener desktop;
    QtEventLoop events;
    for (const auto &c : cases) {
        QFile::remove(record);
        qputenv("ZANDREL_TEST_STATUS", c.status);
        const auto opening = desktop.openDocument(target);
        events.waitSeconds(30, [&] { return !opening->refusal.empty() || QFileInfo::exists(record); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return *c.refusal == 0 || !opening->refusal.empty(); }, 30000));
        QFile given(record);
        EXPECT_TRUE(given.open(QIODevice::ReadOnly) && given.readAll().toStdString() == "1|" + target + "|");
        EXPECT_EQ(opening->refusal, c.refusal);
    }
    EXPECT_FALSE(QFileInfo::exists("INJECTED"));
    qputenv("PATH", QFile::encodeName(dir.filePath("nowhere")));
    EXPECT_THAT(caught([&] { desktop.openDocument(target); }).description(),
                ::testing::HasSubstr("xdg-open, which opens files with the desktop's own programs, cannot be started"));
    qputenv("PATH", path);
}
#endif

}  // namespace
}  // namespace zandrel::testing
