// The Qt runtime's files, random values and failure numbers, on the real disk.

#include "platform/failure.h"
#include "qt/qt_runtime.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The real runtime, with the two steps of a replacement that the system can
// refuse made to fail on demand.
class RefusingRuntime : public QtRuntime {
public:
    std::error_code writeError, renameError;

protected:
    std::error_code writeBytes(QFile &file, const Bytes &bytes) override
    {
        return writeError ? writeError : QtRuntime::writeBytes(file, bytes);
    }
    std::error_code renameOver(const QString &from, const QString &to) override
    {
        return renameError ? renameError : QtRuntime::renameOver(from, to);
    }
};

TEST(QtRuntimeReplace, OneRenameLeavesTheOldPageWholeOnAnyFailureAndMovesNothingThatIsNoFile)
{
    enum Blocker { None, StaleTmp, FolderAtPage, FifoAtPage, FifoAtTmp };
    const struct {
        const char *name;
        Blocker blocker;
        std::errc writeError, renameError;
        int failure;          // 0: the new page is in place
        const char *named;    // the file the failure names
    } cases[] = {
        {"replaces_and_clears_a_stale_tmp", StaleTmp, {}, {}, 0, ""},
        {"disk_full_while_writing", None, std::errc::no_space_on_device, {}, FailureNumber::DiskFull, "bracket.tmp"},
        {"rename_refused", None, {}, std::errc::permission_denied, FailureNumber::PermissionDenied, "bracket.html"},
        {"folder_at_the_page", FolderAtPage, {}, {}, FailureNumber::PathFileAccess, "bracket.html"},
        {"fifo_at_the_page", FifoAtPage, {}, {}, FailureNumber::PathFileAccess, "bracket.html"},
        {"fifo_at_the_tmp", FifoAtTmp, {}, {}, FailureNumber::PathFileAccess, "bracket.tmp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QDir folder(dir.path());
        const auto at = [&](const char *name) { return folder.filePath(QLatin1String(name)).toStdString(); };
        RefusingRuntime runtime;
        if (c.blocker != FolderAtPage && c.blocker != FifoAtPage)
            runtime.replaceFile(at("bracket.html"), {'o', 'l', 'd'});
        if (c.blocker == StaleTmp)
            runtime.createFileExclusive(at("bracket.tmp"), {'h', 'a', 'l', 'f'});
        if (c.blocker == FolderAtPage) {
            ASSERT_TRUE(folder.mkpath(QStringLiteral("bracket.html/keep")));
        }
        if (c.blocker == FifoAtPage || c.blocker == FifoAtTmp) {
            ASSERT_EQ(::mkfifo(at(c.named).c_str(), 0600), 0);
        }
        runtime.writeError = c.writeError == std::errc{} ? std::error_code() : std::make_error_code(c.writeError);
        runtime.renameError = c.renameError == std::errc{} ? std::error_code() : std::make_error_code(c.renameError);

        int failure = 0;
        try {
            runtime.replaceFile(at("bracket.html"), {'n', 'e', 'w'});
        } catch (const Failure &error) {
            failure = error.number();
            EXPECT_NE(error.description().find(at(c.named)), std::string::npos) << error.description();
        }
        EXPECT_EQ(failure, c.failure);
        QStringList expected{"bracket.html"};
        if (c.blocker == FifoAtTmp)
            expected << "bracket.tmp";
        EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), expected);
        if (c.blocker == FolderAtPage)
            EXPECT_TRUE(QFileInfo::exists(dir.filePath("bracket.html/keep")));
        else if (c.blocker == FifoAtPage)
            EXPECT_FALSE(QFileInfo(dir.filePath("bracket.html")).isFile());
        else
            EXPECT_EQ(runtime.readFile(at("bracket.html"), 10), (c.failure ? Bytes{'o', 'l', 'd'} : Bytes{'n', 'e', 'w'}));
    }
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

TEST_F(QtRuntimeFiles, ReadsNoMoreThanAskedAndOnlyFromARegularFileWithoutWaitingForAFifo)
{
    runtime.createFileExclusive(path("long.txt"), Bytes(100000, 'a'));
    EXPECT_EQ(api().readFile(path("long.txt"), 10).size(), 10u);
    EXPECT_EQ(api().readFile(path("long.txt")).size(), 100000u);

    const std::string fifo = path("players.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto told = std::async(std::launch::async, [&] {
        try {
            api().readFile(fifo);
        } catch (const Failure &failure) {
            return failure.description();
        }
        return std::string("read");
    });
    if (told.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));  // lets a blocked reader go
        ADD_FAILURE() << "reading a FIFO waited for a writer";
    }
    EXPECT_EQ(told.get(), fifo + " is not a regular file");
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

TEST_F(QtRuntimeFiles, TemporaryFilesAreNewEmptyNamedWithThePrefixAndNeverOutsideTheirFolder)
{
    const QByteArray configured = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dir.filePath("missing")));
    int failure = 0;
    try {
        runtime.createTempFile("~rs");
    } catch (const Failure &error) {
        failure = error.number();
        EXPECT_NE(error.description().find(path("missing")), std::string::npos) << error.description();
    }
    EXPECT_EQ(failure, FailureNumber::PathNotFound);
    EXPECT_TRUE(QDir::current().entryList({"~rs*"}).isEmpty()) << "nothing in the current folder instead";
    qputenv("TMPDIR", configured);

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
