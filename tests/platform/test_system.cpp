// The system around the program. Where the page is written and the list is
// read: beside the program while that works, in the user's documents folder
// otherwise, never in the program's folder for an installed program, never in
// the current folder; a folder joined with a file name the way the folder is
// written; the URL the Windows shell opens a page by; the number a system
// error is told with; and the random generator's seeding.

#include "platform/failure.h"
#include "platform/output_folder.h"
#include "platform/paths.h"
#include "platform/shell_url.h"
#include "platform/seeded_random.h"
#include "platform/system_failure.h"
#include "tests/support/fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace zandrel::testing {
namespace {

constexpr const char *Program = "/program";
constexpr const char *Documents = "/home/u/Documents";
constexpr const char *UserFolder = "/home/u/Documents/Zandrel";

// How the program came to be where it is: unpacked (a portable folder or
// the Windows zip), a system install, or the Windows installer's, which
// leaves its uninstaller beside the program.
enum Install { Portable, System, WindowsInstaller };

FakeSystem runtimeFor(Install install, const std::string &program, const std::string &documents)
{
    FakeSystem runtime(program);
    runtime.documents = documents;
    if (install == WindowsInstaller)
        runtime.files[program + "/uninstall.exe"] = {};
    return runtime;
}

TEST(OutputFolder, TheProgramsWhileItCanBeWrittenOtherwiseTheUsersOwnMadeWhenFirstNeeded)
{
    enum Trouble { None, ProgramReadOnly, UserFolderThere };
    const struct {
        const char *name;
        Install install;
        Trouble trouble;
        std::string program, documents, folder;  // folder empty: a failure with `failure`
        int failure;
    } cases[] = {
        {"portable_writable", Portable, None, Program, Documents, Program, 0},
        {"portable_read_only", Portable, ProgramReadOnly, Program, Documents, UserFolder, 0},
        {"user_folder_already_there", Portable, UserFolderThere, Program, Documents, UserFolder, 0},
        {"no_documents_folder_says_why", Portable, ProgramReadOnly, Program, "", "", FailureNumber::PathNotFound},
        {"user_folder_cannot_be_made", Portable, ProgramReadOnly, Program, Documents, "", FailureNumber::PermissionDenied},
        {"installed_never_writes_beside_itself", System, None, Program, Documents, UserFolder, 0},
        {"installed_without_documents_folder", System, None, Program, "", "", FailureNumber::PathNotFound},
        {"windows_installer_never_writes_beside_itself", WindowsInstaller, None, Program, Documents, UserFolder, 0},
        {"windows_installer_without_documents_folder", WindowsInstaller, None, Program, "", "", FailureNumber::PathNotFound},
        {"unnamed_program_folder_is_never_the_current_one", Portable, None, "", Documents, UserFolder, 0},
        {"unnamed_program_folder_and_no_documents", Portable, None, "", "", "", FailureNumber::PathNotFound},
    };
    for (const auto &c : cases) {
        FakeSystem runtime = runtimeFor(c.install, c.program, c.documents);
        if (c.trouble != None)
            runtime.readOnlyFolders.insert(Program);
        if (c.trouble == UserFolderThere)
            runtime.folders.insert(UserFolder);
        if (c.failure == FailureNumber::PermissionDenied)
            runtime.files[Documents] = {};
        try {
            EXPECT_EQ(outputFolder(runtime, runtime, c.install == System), c.folder) << c.name;
            EXPECT_TRUE(runtime.folders.contains(c.folder)) << c.name << ": made when first needed";
            EXPECT_EQ(c.failure, 0) << c.name;
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.number(), c.failure) << c.name << ": " << failure.description();
            EXPECT_TRUE(c.failure != FailureNumber::PathNotFound  // with the reason the runtime gives
                        || failure.description().ends_with("the system names no documents folder.")) << c.name;
        }
    }
}

TEST(OutputFolder, ThePlayerListIsReadBesideTheProgramWhenItIsThereOtherwiseFromTheUsersFolder)
{
    const struct {
        const char *name;
        Install install;
        bool besideProgram, inUserFolder;
        std::string program, documents, folder;
    } cases[] = {
        {"beside_program", Portable, true, false, Program, Documents, Program},
        {"in_user_folder", Portable, false, true, Program, Documents, UserFolder},
        {"both_program_wins", Portable, true, true, Program, Documents, Program},
        {"neither_looks_in_user_folder", Portable, false, false, Program, Documents, UserFolder},
        {"installed_ignores_program_folder", System, true, true, Program, Documents, UserFolder},
        {"windows_installer_ignores_program_folder", WindowsInstaller, true, false, Program, Documents, UserFolder},
        {"no_documents_folder", Portable, false, false, Program, "", Program},
        {"unnamed_program_folder_and_no_documents", Portable, false, false, "", "", ""},
    };
    for (const auto &c : cases) {
        FakeSystem runtime = runtimeFor(c.install, c.program, c.documents);
        if (c.besideProgram)
            runtime.files[std::string(Program) + "/players.txt"] = {};
        if (c.inUserFolder)
            runtime.files[std::string(UserFolder) + "/players.txt"] = {};
        EXPECT_EQ(playerListFolder(runtime, runtime, c.install == System), c.folder) << c.name;
        EXPECT_FALSE(runtime.folders.contains(UserFolder)) << c.name << ": looking never makes a folder";
    }
}

TEST(JoinPath, OneSeparatorOfTheFoldersOwnKind)
{
    const struct {
        const char *folder, *expected;
    } cases[] = {
        {"/opt/zandrel", "/opt/zandrel/bracket.html"}, {"/", "/bracket.html"}, {"", "bracket.html"},
        {R"(C:\Brackets)", R"(C:\Brackets\bracket.html)"}, {R"(C:\)", R"(C:\bracket.html)"},
        {"C:/Brackets", "C:/Brackets/bracket.html"}, {"relative", "relative/bracket.html"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(joinPath(c.folder, "bracket.html"), c.expected) << c.folder;
}

// A program folder is passed on only as the text it is: one that is no text is none, never the current one.
TEST(ProgramFolderOf, IsTheFolderAsTextOrNone)
{
    const struct {
        const char *program, *folder;
    } cases[] = {
        {"/opt/zandrel/zandrel", "/opt/zandrel"}, {"/zandrel", "/"}, {"/home/zo\xc3\xab/club/zandrel", "/home/zo\xc3\xab/club"},
        {"/home/\xff\xfe club/zandrel", ""}, {"/home/zo\xc3/zandrel", ""}, {"zandrel", ""}, {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(programFolderOf(c.program), c.folder) << c.program;
}

// What the Windows shell is handed to open a page: one URL that decodes to the very path, in which no
// interpreter or expansion finds anything to act on.
TEST(WindowsShellFileUrl, NamesTheLiteralFileWithNothingLeftToExpandOrQuote)
{
    const struct {
        const char *path, *url;
    } cases[] = {
        {R"(C:\Club %PATH% 100%\bracket.html)", "file:///C:/Club%20%25PATH%25%20100%25/bracket.html"},
        {R"(C:\A^B!C (1) ;,= 'x' & y\bracket.html)",
         "file:///C:/A%5EB%21C%20%281%29%20%3B%2C%3D%20%27x%27%20%26%20y/bracket.html"},
        {R"(D:\%CMDCMDLINE% & mkdir INJECTED &\#1\bracket.html)",
         "file:///D:/%25CMDCMDLINE%25%20%26%20mkdir%20INJECTED%20%26/%231/bracket.html"},
        {"C:\\Zo\xc3\xab \xe2\x82\xac\\bracket.html", "file:///C:/Zo\xc3\xab%20\xe2\x82\xac/bracket.html"},
        {R"(\\server\share\club\bracket.html)", "file://server/share/club/bracket.html"},
        {R"(C:\bracket.html)", "file:///C:/bracket.html"},
    };
    for (const auto &c : cases) {
        const std::string url = windowsShellFileUrl(c.path);
        EXPECT_EQ(url, c.url) << c.path;
        // Every percent sign starts an escape, so none can pair with another around a variable's name.
        for (std::size_t at = url.find('%'); at != std::string::npos; at = url.find('%', at + 1))
            EXPECT_TRUE(at + 2 < url.size() && std::isxdigit(static_cast<unsigned char>(url[at + 1])) &&
                        std::isxdigit(static_cast<unsigned char>(url[at + 2])))
                << url;
    }
}

TEST(SystemFailure, EachSystemErrorIsToldWithItsFailureNumber)
{
    using std::errc;
    const struct {
        std::error_code error;
        bool folderExists;
        int number;
    } cases[] = {
        {std::make_error_code(errc::no_such_file_or_directory), true, FailureNumber::FileNotFound},
        {std::make_error_code(errc::no_such_file_or_directory), false, FailureNumber::PathNotFound},
        {std::make_error_code(errc::not_a_directory), true, FailureNumber::PathNotFound},
        {std::make_error_code(errc::permission_denied), true, FailureNumber::PermissionDenied},
        {std::make_error_code(errc::operation_not_permitted), true, FailureNumber::PermissionDenied},
        {std::make_error_code(errc::read_only_file_system), true, FailureNumber::PermissionDenied},
        {std::make_error_code(errc::no_space_on_device), true, FailureNumber::DiskFull},
#ifdef EDQUOT
        {std::error_code(EDQUOT, std::generic_category()), true, FailureNumber::DiskFull},
#endif
#ifdef _WIN32  // what the system's own calls report, such as a refused rename
        {std::error_code(5 /* ERROR_ACCESS_DENIED */, std::system_category()), true, FailureNumber::PermissionDenied},
        {std::error_code(112 /* ERROR_DISK_FULL */, std::system_category()), true, FailureNumber::DiskFull},
#endif
        {std::make_error_code(errc::io_error), true, FailureNumber::DeviceIo},
        {std::make_error_code(errc::device_or_resource_busy), true, FailureNumber::PathFileAccess},
    };
    for (const auto &c : cases)
        EXPECT_EQ(failureNumberFor(c.error, c.folderExists), c.number) << c.error.message();
}

TEST(SeededRandom, TheClockIsReadOnceBeforeTheFirstValueAndItsReadingDecidesTheSequence)
{
    // Values in [0, 1) on a clock that always reads `reading`; start-up seeds first, and seeding again changes nothing.
    const auto draw = [](std::uint64_t reading, bool seedFirst) {
        int readings = 0;
        SeededRandom random([&readings, reading] { ++readings; return reading; });
        if (seedFirst)
            random.seedFromClock();
        std::vector<float> values{random.next()};
        random.seedFromClock();
        while (values.size() < 1000)
            values.push_back(random.next());
        EXPECT_EQ(readings, 1);
        EXPECT_TRUE(*std::ranges::max_element(values) < 1.0f && *std::ranges::max_element(values) > 0.99f);
        return values;
    };
    const std::vector<float> seeded = draw(1'700'000'000'123'456'789, true);
    EXPECT_EQ(draw(1'700'000'000'123'456'789, false), seeded);
    EXPECT_NE(draw(1'700'000'000'123'456'790, false)[0], seeded[0]);
}

}  // namespace
}  // namespace zandrel::testing
