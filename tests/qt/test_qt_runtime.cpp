// The Qt runtime on the real disk and system: files, programs, the hand-over
// to a running copy, and the window and the help viewer on it. Temporary
// files, the lock and the socket go to the run's own folder (see the test
// main).

#include "app/main_window.h"
#include "platform/failure.h"
#include "qt/help_browser.h"
#include "qt/help_document.h"
#include "qt/help_viewer.h"
#include "qt/qt_runtime.h"
#include "qt/signal_shutdown.h"

#include <gmock/gmock.h>

#include <QtTest>
#include <QtWidgets>

#include <csignal>
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

Failure caught(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        return failure;
    }
    return Failure(0, "");
}

Bytes bytes(const std::string &text) { return Bytes(text.begin(), text.end()); }

// A path as the system writes it, and so as failures name it.
std::string native(const std::string &path) { return QDir::toNativeSeparators(QString::fromStdString(path)).toStdString(); }

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

    std::error_code writeBytes(QFile &file, const Bytes &data) override
    {
        return writeError ? writeError : QtFiles::writeBytes(file, data);
    }
    std::error_code renameOver(const QString &from, const QString &to) override
    {
        return renameError ? renameError : QtFiles::renameOver(from, to);
    }
};

struct QtRuntimeFiles : ::testing::Test {
    std::string path(const char *name) const { return dir.filePath(QLatin1String(name)).toStdString(); }

    QTemporaryDir dir;
    QtRuntime runtime;
    Runtime &api = runtime;  // as the program calls it, with the interface's defaults
};

TEST_F(QtRuntimeFiles, AReplacementLeavesTheOldPageWholeOnAnyFailureAndMovesNothingThatIsNoFile)
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
            runtime.replaceFile(page, bytes("old"));
        if (planted == "file")
            runtime.createFileExclusive(at, bytes("half"));
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

TEST_F(QtRuntimeFiles, ReadsNoMoreThanAskedOnlyFromARegularFileAndNeverWaitsForAFifo)
{
    runtime.createFileExclusive(path("long.txt"), Bytes(100000, 'a'));
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

TEST_F(QtRuntimeFiles, ExclusiveCreationIsOwnerOnlyRefusesAnExistingNameAndAPlantedLinkAndOnlyItsFileIsOurs)
{
    runtime.createFileExclusive(path("page.htm"), bytes("mine"));
    EXPECT_NE(caught([&] { runtime.createFileExclusive(path("page.htm"), bytes("theirs")); }).number(), 0);
    EXPECT_EQ(api.readFile(path("page.htm")), bytes("mine"));
#ifndef _WIN32  // on Windows the user's own temporary folder keeps others out; a file has no such bits
    EXPECT_FALSE(QFileInfo(dir.filePath("page.htm")).permissions() & (QFile::ReadOther | QFile::WriteOther));
#endif
    ASSERT_TRUE(QFile::link(dir.filePath("target"), dir.filePath("planted.htm")));
    EXPECT_NE(caught([&] { runtime.createFileExclusive(path("planted.htm"), bytes("x")); }).number(), 0);
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

TEST_F(QtRuntimeFiles, TemporaryFilesAreNewEmptyAndPrefixedInTheirFolderAndAMissingFolderIsNamed)
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
    EXPECT_THAT(caught([&] { runtime.createTempFile("~rs"); }).description(), ::testing::HasSubstr("neither TMP nor TEMP"));
    qputenv("TEMP", temp);
#endif
    qputenv(variable, QFile::encodeName(dir.filePath("missing")));
    const Failure missing = caught([&] { runtime.createTempFile("~rs"); });
    qputenv(variable, configured);
    EXPECT_EQ(missing.number(), PathNotFound);
    EXPECT_NE(missing.description().find(native(path("missing"))), std::string::npos) << missing.description();
    const QFileInfo first(QString::fromStdString(runtime.createTempFile("~rs")));
    EXPECT_NE(runtime.createTempFile("~rs"), first.filePath().toStdString());
    EXPECT_TRUE(first.fileName().startsWith("~rs") && first.size() == 0) << first.filePath().toStdString();
    EXPECT_EQ(first.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
}

#ifndef _WIN32  // HOME and the XDG settings are how Unix desktops name the folder; Windows names it itself
TEST(QtRuntimeFolders, TheDocumentsFolderIsAnAbsoluteUtf8PathOrNoneWithTheReason)
{
    const struct {
        const char *home, *setting, *folder, *told;  // HOME and XDG_DOCUMENTS_DIR (null: unset); what is named
        bool settingsHere = false;                   // XDG_CONFIG_HOME relative, to the settings in the current folder
    } cases[] = {
        {"/home/u", nullptr, "/home/u/Documents", ""}, {"/home/u", "$HOME/Papers", "/home/u/Papers", ""},
        {nullptr, nullptr, "", "HOME is not set"}, {"home/u", nullptr, "", "HOME is home/u, which is not an absolute"},
        {"/home/\xff", nullptr, "", "HOME names a folder whose name is not valid UTF-8"},
        {"/home/u", "Papers", "", "(XDG_DOCUMENTS_DIR) is Papers, which is not an absolute"},
        {"/home/u", "/srv/\xff", "", "(XDG_DOCUMENTS_DIR) is not valid UTF-8"},
        {"/home/u", "/srv/planted", "", "XDG_CONFIG_HOME is ., which is not an absolute", true},
    };
    const QTemporaryDir config;
    const QByteArray home = qgetenv("HOME"), configHome = qgetenv("XDG_CONFIG_HOME");
    const QString current = QDir::currentPath();
    QDir::setCurrent(config.path());
    for (const auto &c : cases) {
        qputenv("XDG_CONFIG_HOME", c.settingsHere ? QByteArray(".") : QFile::encodeName(config.path()));
        c.home ? qputenv("HOME", c.home) : qunsetenv("HOME");
        QFile settings(config.filePath("user-dirs.dirs"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
        settings.write(c.setting ? QByteArray("XDG_DOCUMENTS_DIR=\"") + c.setting + "\"\n" : QByteArray());
        settings.close();
        const NamedFolder named = QtRuntime().documentsFolder();
        EXPECT_EQ(named.path, c.folder) << c.home << " " << c.setting;
        EXPECT_TRUE(*c.told ? named.problem.find(c.told) != std::string::npos : named.problem.empty()) << named.problem;
    }
    qputenv("HOME", home), qputenv("XDG_CONFIG_HOME", configHome), QDir::setCurrent(current);
}
#endif

#ifndef _WIN32
// The desktop's opener gets the target as its one argument, as written, and is watched until it ends: a
// failure it reports by its exit status becomes the opening's refusal; one that cannot be started is refused
// at once. (On Windows the shell opens it; the Windows check drives that.)
TEST(QtRuntimeOpen, TheOpenerGetsTheTargetWholeAndItsFailureIsTold)
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
    QtRuntime runtime;
    for (const auto &c : cases) {
        QFile::remove(record);
        qputenv("ZANDREL_TEST_STATUS", c.status);
        const auto opening = runtime.openDocument(target);
        runtime.waitSeconds(30, [&] { return !opening->refusal.empty() || QFileInfo::exists(record); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return *c.refusal == 0 || !opening->refusal.empty(); }, 30000));
        QFile given(record);
        EXPECT_TRUE(given.open(QIODevice::ReadOnly) && given.readAll().toStdString() == "1|" + target + "|");
        EXPECT_EQ(opening->refusal, c.refusal);
    }
    EXPECT_FALSE(QFileInfo::exists("INJECTED"));
    qputenv("PATH", QFile::encodeName(dir.filePath("nowhere")));
    EXPECT_THAT(caught([&] { runtime.openDocument(target); }).description(),
                ::testing::HasSubstr("xdg-open, which opens files with the desktop's own programs, cannot be started"));
    qputenv("PATH", path);
}
#endif

TEST(QtRuntimeSingleInstance, ASecondStartOfTheProgramAsksTheRunningCopyToComeToTheFront)
{
    QtRuntime running;
    ASSERT_TRUE(running.claimInstance());
    QStringList asked;
    running.setActivationHandler([&asked](const QString &title) { asked << title; });
    QProcess second;
    second.start(QStringLiteral(ZANDREL_PROGRAM), {});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty() && second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(asked, QStringList{"Zandrel"});
}

// The compiled help as the build made it, and the same file damaged: a damaged one is refused with its name.
TEST(HelpDocumentFile, ReadsTheBuiltHelpInIndexOrderAndRefusesADamagedOneByName)
{
    HelpDocument document;
    QString error;
    ASSERT_TRUE(document.load(QStringLiteral(ZANDREL_HELP_DOCUMENT), error)) << error.toStdString();
    EXPECT_EQ(document.title(), "Zandrel Help");
    EXPECT_EQ(document.contents().size(), 5);
    QStringList keywords;
    for (const HelpDocument::Keyword &keyword : document.keywords())
        keywords << keyword.keyword + ' ' + keyword.page.fileName();
    EXPECT_EQ(keywords.join(", "), "About overview.htm, EULA eula.htm, Privacy privacy.htm, Uninstall uninstall.htm");
    const QUrl start = document.startPage();
    EXPECT_TRUE(document.fileData(start).contains("<html"));
    QUrl elsewhere = start;
    elsewhere.setHost("other.help");
    EXPECT_TRUE(document.fileData(elsewhere).isEmpty());

    QTemporaryDir dir;
    QFile built(QStringLiteral(ZANDREL_HELP_DOCUMENT));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    const QByteArray whole = built.readAll();
    const struct { const char *name; QByteArray bytes; const char *reason; } damaged[] = {
        {"empty.qch", {}, "no such table"},
        {"half.qch", whole.left(whole.size() / 2), "damaged"},
        {"text.qch", "<html>not a help document</html>", "not a database"},
    };
    for (const auto &c : damaged) {
        const QString path = dir.filePath(c.name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.bytes) == c.bytes.size());
        file.close();
        EXPECT_FALSE(document.load(path, error)) << c.name;
        EXPECT_THAT(error.toStdString(), ::testing::AllOf(::testing::HasSubstr(c.name), ::testing::HasSubstr(c.reason)));
    }
}

// The real runtime, with the boxes it would show and the programs it would start recorded instead, in a
// program folder of its own.
struct RecordingQtRuntime : QtRuntime {
    void showMessage(const std::string &text, const std::string &, MessageIcon) override
    {
        messages.push_back(text);
        if (whileBoxShows)
            whileBoxShows();
    }
    std::shared_ptr<const DocumentOpening> openDocument(const std::string &target) override
    {
        opened.push_back(target);
        return std::make_shared<DocumentOpening>();
    }
    std::string executableFolder() const override { return folder.path().toStdString(); }

    QTemporaryDir folder;
    std::vector<std::string> messages;
    std::vector<std::string> opened;
    std::function<void()> whileBoxShows;
};

HelpViewer *onlyViewer()
{
    QList<HelpViewer *> viewers;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *viewer = qobject_cast<HelpViewer *>(widget); viewer && viewer->isVisible())
            viewers << viewer;
    EXPECT_LE(viewers.size(), 1);
    return viewers.value(0);
}

std::string runsFolder()
{
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    return QDir::temp().entryList(all).join(' ').toStdString();
}

TEST(WindowOnQt, HelpTopicsKeepsOneViewerAndClosingOrASignalInTheBoxOrTheWaitOpensNothingMoreAndLeavesNothingBehind)
{
    enum Ending { ClosedInWait, SignalInWait, SignalInBox };
#ifdef _WIN32
    const Ending endings[] = {ClosedInWait};  // no signals there; the session's end is tested below
#else
    const Ending endings[] = {ClosedInWait, SignalInWait, SignalInBox};
#endif
    for (const Ending ending : endings) {
        SCOPED_TRACE(ending);
        RecordingQtRuntime runtime;
        const std::string before = runsFolder();
        MainWindow window(runtime);
        const SignalShutdown shutdown(window, runtime);
        ASSERT_TRUE(window.startUp());
        window.show();
        QAction *helpTopics = window.findChild<QAction *>("helpTopicsAction");
        helpTopics->trigger();
        helpTopics->trigger();
        QPointer<HelpViewer> viewer = onlyViewer();
        ASSERT_TRUE(viewer);
        EXPECT_EQ(viewer->browser()->source().fileName(), "overview.htm");
        const std::string whileOpen = runsFolder();
        viewer->showMinimized();
        helpTopics->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&viewer] { return !viewer->isMinimized(); }));
        viewer->close();
        ASSERT_TRUE(QTest::qWaitFor([&viewer] { return viewer.isNull(); }));
        helpTopics->trigger();
        viewer = onlyViewer();
        ASSERT_TRUE(viewer);
        // The contents and the keyword typed into the index lead to their pages.
        QTreeWidget *contents = viewer->contents();
        ASSERT_EQ(contents->topLevelItemCount(), 1);
        emit contents->itemActivated(contents->topLevelItem(0)->child(1), 0);
        EXPECT_EQ(viewer->browser()->source().fileName(), "eula.htm");
        auto *lookFor = viewer->findChild<QLineEdit *>("helpIndexFilter");
        QTest::keyClicks(lookFor, "pri");
        QTest::keyClick(lookFor, Qt::Key_Return);
        EXPECT_EQ(viewer->browser()->source().fileName(), "privacy.htm");
        const QVariant picture = viewer->browser()->loadResource(QTextDocument::ImageResource, QUrl("background.jpg"));
        EXPECT_FALSE(QImage::fromData(picture.toByteArray()).isNull());
        EXPECT_EQ(runsFolder(), whileOpen);

        // The window answers during the ten seconds Make Bracket waits before the link; ended then, it opens none.
        // Ended while "Bracket Created" shows, it does not open the page either.
        for (const char *list : {"sizeList", "typeList", "seedingList"})
            window.findChild<QComboBox *>(list)->setCurrentIndex(0);
        if (ending == SignalInBox)
            runtime.whileBoxShows = [&] {
                std::raise(SIGTERM);
                EXPECT_TRUE(QTest::qWaitFor([&] { return shutdown.requested(); }));
            };
        else
            QTimer::singleShot(300, &window, [&] { ending ? void(std::raise(SIGTERM)) : void(window.close()); });
        window.findChild<QPushButton *>("makeBracketButton")->click();  // returns after the wait
        EXPECT_FALSE(window.isOpen());
        EXPECT_EQ(runtime.opened.size(), ending == SignalInBox ? 0u : 1u) << "the page at most";
        EXPECT_EQ(onlyViewer(), nullptr);
        EXPECT_EQ(runsFolder(), before) << "the help files, the lock and the socket go";
        EXPECT_EQ(runtime.messages.size(), 1u) << "no failure; only the page is announced";
    }
}

#ifdef _WIN32
// Windows ends a session by telling each window, and ends the process as soon as they have answered:
// by then the shutdown has run, the help is closed and its file gone.
TEST(WindowOnQt, TheEndOfTheWindowsSessionRunsTheShutdownBeforeTheWindowAnswers)
{
    RecordingQtRuntime runtime;
    const std::string before = runsFolder();
    MainWindow window(runtime);
    const SignalShutdown shutdown(window, runtime);
    ASSERT_TRUE(window.startUp());
    window.show();
    window.findChild<QAction *>("helpTopicsAction")->trigger();
    ASSERT_TRUE(onlyViewer());
    const auto handle = reinterpret_cast<HWND>(window.winId());
    ::SendMessageW(handle, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    ::SendMessageW(handle, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(window.isOpen());
    EXPECT_EQ(runsFolder(), before) << "the help file and the lock go";
}
#endif

}  // namespace
}  // namespace zandrel::testing
