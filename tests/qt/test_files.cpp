// The runtime's files on the real disk: a replacement that never leaves half a page and moves nothing
// that is no file, reads that never wait on a FIFO, exclusive creation, and temporary files.

#include "platform/system_failure.h"
#include "tests/qt/qt_test_support.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#endif

namespace zandrel::testing {
namespace {

using namespace FailureNumber;

Bytes bytes(const std::string &text) { return Bytes(text.begin(), text.end()); }

// Windows has no FIFOs; the rows about them are not for it.
#ifdef _WIN32
constexpr bool HasFifos = false;
bool makeFifo(const std::string &) { return false; }
#else
constexpr bool HasFifos = true;
bool makeFifo(const std::string &path) { return ::mkfifo(path.c_str(), 0600) == 0; }
#endif

// The read-only attribute a user sets on a file to keep it; Unix has none.
#ifdef _WIN32
bool markReadOnly(const std::string &path, bool on)
{
    const std::wstring name = QString::fromStdString(native(path)).toStdWString();
    return ::SetFileAttributesW(name.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}
#else
bool markReadOnly(const std::string &, bool) { return false; }
#endif

// The real files, with the two steps of a replacement that the system can refuse made to fail on demand.
struct RefusingFiles : QtFiles {
    std::error_code writeError, renameError;

    void writeBytes(QFile &file, const Bytes &data) override
    {
        if (writeError)
            throw systemFailure(native(file.fileName().toStdString()), writeError, true);
        QtFiles::writeBytes(file, data);
    }
    void renameOver(const QString &from, const QString &to) override
    {
        if (renameError)
            throw systemFailure(native(to.toStdString()), renameError, true);
        QtFiles::renameOver(from, to);
    }
};

struct QtFilesTest : ::testing::Test {
    std::string path(const char *name) const { return dir.filePath(QLatin1String(name)).toStdString(); }

    QTemporaryDir dir;
    QtFiles files;
    Files &api = files;  // as the program calls it, with the interface's defaults
};

TEST_F(QtFilesTest, AReplacementLeavesTheOldPageWholeOnAnyFailureAndMovesNothingThatIsNoFile)
{
    const auto error = [](std::errc code) { return std::make_error_code(code); };
    const struct {
        const char *name, *planted, *at;  // what the test puts where before the replacement
        std::error_code writeError, renameError;
        int failure;  // 0: the new page is in place; otherwise the failure names `at`
    } cases[] = {
        {"replaces_and_clears_a_stale_tmp", "file", "bracket.tmp", {}, {}, 0},
        {"disk_full", "", "bracket.tmp", error(std::errc::no_space_on_device), {}, DiskFull},
        {"rename_refused", "", "bracket.html", {}, error(std::errc::permission_denied), PermissionDenied},
        {"folder_at_the_page", "folder", "bracket.html", {}, {}, PathFileAccess},
        {"fifo_at_the_page", "fifo", "bracket.html", {}, {}, PathFileAccess},
        {"fifo_at_the_tmp", "fifo", "bracket.tmp", {}, {}, PathFileAccess},
#ifdef _WIN32  // a page the user marked read-only is kept, though Wine would let the rename replace it
        {"read_only_page", "read-only", "bracket.html", {}, {}, PermissionDenied},
#endif
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string_view(c.planted) == "fifo" && !HasFifos)
            continue;
        const QDir folder(dir.filePath(QLatin1String(c.name)));
        const std::string planted = c.planted, page = folder.filePath("bracket.html").toStdString(),
                          at = folder.filePath(QLatin1String(c.at)).toStdString();
        const bool pageStands = at != page || planted.empty() || planted == "read-only";
        ASSERT_TRUE(folder.mkpath(planted == "folder" ? "bracket.html/keep" : "."));
        if (pageStands)
            files.replaceFile(page, bytes("old"));
        if (planted == "file")
            files.createFileExclusive(at, bytes("half"));
        ASSERT_TRUE(planted != "fifo" || makeFifo(at));
        ASSERT_TRUE(planted != "read-only" || markReadOnly(at, true));

        RefusingFiles refusing;
        std::tie(refusing.writeError, refusing.renameError) = std::tie(c.writeError, c.renameError);
        const Failure failure = caught([&] { refusing.replaceFile(page, bytes("new")); });
        EXPECT_EQ(failure.number(), c.failure);
        EXPECT_TRUE(!c.failure || failure.description().find(native(at)) != std::string::npos) << failure.description();
        EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).join(' '),
                  planted == "fifo" && at != page ? "bracket.html bracket.tmp" : "bracket.html");
        EXPECT_TRUE(planted != "folder" || QFileInfo::exists(folder.filePath("bracket.html/keep")));
        EXPECT_TRUE(!pageStands || api.readFile(page) == bytes(c.failure ? "old" : "new"));
        markReadOnly(at, false);
    }
}

TEST_F(QtFilesTest, ReadsNoMoreThanAskedOnlyFromARegularFileAndNeverWaitsForAFifo)
{
    files.createFileExclusive(path("long.txt"), Bytes(100000, 'a'));
    EXPECT_EQ(api.readFile(path("long.txt"), 10).size(), 10u);
    EXPECT_EQ(api.readFile(path("long.txt")).size(), 100000u);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder") && (!HasFifos || makeFifo(path("fifo"))));
    auto numbers = std::async(std::launch::async, [this] {
        std::vector<int> told;
        for (const char *name : {"missing", "no/such/file", "folder", "fifo"})
            if (HasFifos || std::string_view(name) != "fifo")
                told.push_back(caught([&] { api.readFile(path(name)); }).number());
        return told;
    });
    const bool waited = numbers.wait_for(std::chrono::seconds(30)) != std::future_status::ready;
#ifndef _WIN32
    if (waited)
        ::close(::open(path("fifo").c_str(), O_WRONLY | O_NONBLOCK));  // lets the waiting read go
#endif
    EXPECT_FALSE(waited) << "a read waited for the FIFO's writer";
    std::vector expected{FileNotFound, PathNotFound, PathFileAccess, PathFileAccess};
    expected.resize(HasFifos ? 4 : 3);
    EXPECT_EQ(numbers.get(), expected);
}

TEST_F(QtFilesTest, ExclusiveCreationIsOwnerOnlyRefusesAnExistingNameAndAPlantedLinkAndOnlyItsFileIsOurs)
{
    files.createFileExclusive(path("page.htm"), bytes("mine"));
    EXPECT_NE(caught([&] { files.createFileExclusive(path("page.htm"), bytes("theirs")); }).number(), 0);
    EXPECT_EQ(api.readFile(path("page.htm")), bytes("mine"));
#ifndef _WIN32  // on Windows the user's own temporary folder keeps others out; a file has no such bits
    EXPECT_FALSE(QFileInfo(dir.filePath("page.htm")).permissions() & (QFile::ReadOther | QFile::WriteOther));
#endif
    ASSERT_TRUE(QFile::link(dir.filePath("target"), dir.filePath("planted.htm")));
    EXPECT_NE(caught([&] { files.createFileExclusive(path("planted.htm"), bytes("x")); }).number(), 0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("target")));

    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_TRUE(api.isOwnFile(path("page.htm")));
    for (const char *notOurs : {"folder", "missing.htm"})
        EXPECT_FALSE(api.isOwnFile(path(notOurs))) << notOurs;
#ifndef _WIN32  // QFile::link makes a shortcut on Windows, which is a file like any other
    ASSERT_TRUE(QFile::link(dir.filePath("page.htm"), dir.filePath("link.htm")));
    EXPECT_FALSE(api.isOwnFile(path("link.htm")));
    // Only root can give a file away, which is how another user's file is made here.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path("page.htm").c_str(), 65534, 65534), 0);
        EXPECT_FALSE(api.isOwnFile(path("page.htm")));
    }
#endif
}

TEST_F(QtFilesTest, TemporaryFilesAreNewEmptyAndPrefixedInTheirFolderAndAMissingFolderIsNamed)
{
#ifdef _WIN32
    const char *variable = "TMP";  // the first place Windows looks
#else
    const char *variable = "TMPDIR";
#endif
    const QByteArray configured = qgetenv(variable);
#ifdef _WIN32
    // Named by neither variable, there is none: not the profile folder the system would fall back to.
    const QByteArray temp = qgetenv("TEMP");
    qunsetenv("TMP"), qunsetenv("TEMP");
    EXPECT_THAT(caught([&] { files.createTempFile("~rs"); }).description(), ::testing::HasSubstr("neither TMP nor TEMP"));
    qputenv("TEMP", temp);
#endif
    qputenv(variable, QFile::encodeName(dir.filePath("missing")));
    const Failure missing = caught([&] { files.createTempFile("~rs"); });
    qputenv(variable, configured);
    EXPECT_EQ(missing.number(), PathNotFound);
    EXPECT_NE(missing.description().find(native(path("missing"))), std::string::npos) << missing.description();
    const QFileInfo first(QString::fromStdString(files.createTempFile("~rs")));
    EXPECT_NE(files.createTempFile("~rs"), first.filePath().toStdString());
    EXPECT_TRUE(first.fileName().startsWith("~rs") && first.size() == 0) << first.filePath().toStdString();
    EXPECT_EQ(first.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
}

}  // namespace
}  // namespace zandrel::testing
