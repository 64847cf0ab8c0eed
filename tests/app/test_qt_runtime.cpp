// The Qt runtime's files, random values and failure numbers, on the real disk.

#include "platform/failure.h"
#include "platform/qt_runtime.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace zandrel::testing {
namespace {

class QtRuntimeFiles : public ::testing::Test {
protected:
    std::string path(const char *name) const { return dir.filePath(QLatin1String(name)).toStdString(); }
    static Bytes bytes(const std::string &text) { return Bytes(text.begin(), text.end()); }
    static int failureNumber(const std::function<void()> &action)
    {
        try {
            action();
        } catch (const Failure &failure) {
            return failure.number();
        }
        return 0;
    }

    // Through the interface, as the program calls it (and with its defaults).
    Runtime &api() { return runtime; }

    QTemporaryDir dir;
    QtRuntime runtime;
};

TEST_F(QtRuntimeFiles, ReplaceFileSwapsTheContentAndLeavesNothingElse)
{
    runtime.replaceFile(path("bracket.html"), bytes("first"));
    runtime.replaceFile(path("bracket.html"), bytes("second, longer"));
    EXPECT_EQ(api().readFile(path("bracket.html")), bytes("second, longer"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"bracket.html"});
}

TEST_F(QtRuntimeFiles, AFailedReplacementKeepsTheOldFile)
{
    runtime.replaceFile(path("bracket.html"), bytes("keep me"));
    // A .tmp that is a folder cannot be written, whoever runs the test.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("bracket.tmp")));
    EXPECT_NE(failureNumber([&] { runtime.replaceFile(path("bracket.html"), bytes("lost")); }), 0);
    EXPECT_EQ(api().readFile(path("bracket.html")), bytes("keep me"));
}

TEST_F(QtRuntimeFiles, FailuresCarryTheirNumbers)
{
    EXPECT_EQ(failureNumber([&] { api().readFile(path("missing.txt")); }), FailureNumber::FileNotFound);
    EXPECT_EQ(failureNumber([&] { runtime.removeFile(path("missing.txt")); }), FailureNumber::FileNotFound);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const int folderRead = failureNumber([&] { api().readFile(path("folder")); });
    EXPECT_NE(folderRead, 0);
    EXPECT_NE(folderRead, FailureNumber::FileNotFound) << "a folder is there, so it must not pass as missing";
    EXPECT_EQ(failureNumber([&] { api().readFile(path("no/such/folder/file")); }), FailureNumber::PathNotFound);
}

TEST_F(QtRuntimeFiles, ReadsNoMoreThanAsked)
{
    runtime.createFileExclusive(path("long.txt"), Bytes(100000, 'a'));
    EXPECT_EQ(api().readFile(path("long.txt"), 10).size(), 10u);
    EXPECT_EQ(api().readFile(path("long.txt")).size(), 100000u);
}

TEST_F(QtRuntimeFiles, ExclusiveCreationRefusesAnExistingNameAndAPlantedLink)
{
    runtime.createFileExclusive(path("page.htm"), bytes("mine"));
    EXPECT_NE(failureNumber([&] { runtime.createFileExclusive(path("page.htm"), bytes("theirs")); }), 0);
    EXPECT_EQ(api().readFile(path("page.htm")), bytes("mine"));
    EXPECT_EQ(QFileInfo(QString::fromStdString(path("page.htm"))).permissions() & (QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());

    ASSERT_TRUE(QFile::link(QString::fromStdString(path("target")), QString::fromStdString(path("planted.htm"))));
    EXPECT_NE(failureNumber([&] { runtime.createFileExclusive(path("planted.htm"), bytes("x")); }), 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path("target"))));
}

TEST_F(QtRuntimeFiles, TemporaryFilesAreNewEmptyAndNamedWithThePrefix)
{
    const std::string first = runtime.createTempFile("~rs");
    const std::string second = runtime.createTempFile("~rs");
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    for (const std::string &name : {first, second}) {
        const QFileInfo info(QString::fromStdString(name));
        EXPECT_TRUE(info.fileName().startsWith("~rs"));
        EXPECT_EQ(info.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        EXPECT_EQ(info.size(), 0);
        runtime.removeFile(name);
    }
}

TEST(QtRuntimeRandom, ValuesStayBelowOne)
{
    QtRuntime runtime;
    runtime.seedRandomFromClock();
    float lowest = 1, highest = 0;
    for (int i = 0; i < 200000; ++i) {
        const float value = runtime.nextRandom();
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    // Uniform enough to reach both ends of the range.
    EXPECT_LT(lowest, 0.001f);
    EXPECT_GT(highest, 0.999f);
}

}  // namespace
}  // namespace zandrel::testing
