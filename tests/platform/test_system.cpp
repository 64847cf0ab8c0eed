// The system around the program. Where the page is written and the list is
// read: beside the program while that works, in the user's documents folder
// otherwise, never in the program's folder for an installed program, never in
// the current folder; a folder joined with a file name the way the folder is
// written; which Windows family, so which interpreter, opens documents; the
// number a system error is told with; and the random generator's seeding.

#include "platform/failure.h"
#include "platform/os_family.h"
#include "platform/output_folder.h"
#include "platform/paths.h"
#include "platform/registry_reader.h"
#include "platform/seeded_random.h"
#include "platform/system_failure.h"
#include "tests/support/fake_runtime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>

namespace zandrel::testing {
namespace {

constexpr const char *Program = "/program";
constexpr const char *Documents = "/home/u/Documents";
constexpr const char *UserFolder = "/home/u/Documents/Zandrel";

TEST(OutputFolder, TheProgramsWhileItCanBeWrittenOtherwiseTheUsersOwnMadeWhenFirstNeeded)
{
    enum Trouble { None, ProgramReadOnly, UserFolderThere };
    const struct {
        const char *name;
        bool userFolderOnly;
        Trouble trouble;
        std::string program, documents, folder;  // folder empty: a failure with `failure`
        int failure;
    } cases[] = {
        {"portable_writable", false, None, Program, Documents, Program, 0},
        {"portable_read_only", false, ProgramReadOnly, Program, Documents, UserFolder, 0},
        {"user_folder_already_there", false, UserFolderThere, Program, Documents, UserFolder, 0},
        {"no_documents_folder_says_why", false, ProgramReadOnly, Program, "", "", FailureNumber::PathNotFound},
        {"user_folder_cannot_be_made", false, ProgramReadOnly, Program, Documents, "", FailureNumber::PermissionDenied},
        {"installed_never_writes_beside_itself", true, None, Program, Documents, UserFolder, 0},
        {"installed_without_documents_folder", true, None, Program, "", "", FailureNumber::PathNotFound},
        {"unnamed_program_folder_is_never_the_current_one", false, None, "", Documents, UserFolder, 0},
        {"unnamed_program_folder_and_no_documents", false, None, "", "", "", FailureNumber::PathNotFound},
    };
    for (const auto &c : cases) {
        FakeRuntime runtime(c.program);
        runtime.documents = c.documents;
        if (c.trouble != None)
            runtime.readOnlyFolders.insert(Program);
        if (c.trouble == UserFolderThere)
            runtime.folders.insert(UserFolder);
        if (c.failure == FailureNumber::PermissionDenied)
            runtime.files[Documents] = {};
        try {
            EXPECT_EQ(outputFolder(runtime, c.userFolderOnly), c.folder) << c.name;
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
        bool userFolderOnly, besideProgram, inUserFolder;
        std::string program, documents, folder;
    } cases[] = {
        {"beside_program", false, true, false, Program, Documents, Program},
        {"in_user_folder", false, false, true, Program, Documents, UserFolder},
        {"both_program_wins", false, true, true, Program, Documents, Program},
        {"neither_looks_in_user_folder", false, false, false, Program, Documents, UserFolder},
        {"installed_ignores_program_folder", true, true, true, Program, Documents, UserFolder},
        {"no_documents_folder", false, false, false, Program, "", Program},
        {"unnamed_program_folder_and_no_documents", false, false, false, "", "", ""},
    };
    for (const auto &c : cases) {
        FakeRuntime runtime(c.program);
        runtime.documents = c.documents;
        if (c.besideProgram)
            runtime.files[std::string(Program) + "/players.txt"] = {};
        if (c.inUserFolder)
            runtime.files[std::string(UserFolder) + "/players.txt"] = {};
        EXPECT_EQ(playerListFolder(runtime, c.userFolderOnly), c.folder) << c.name;
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

struct TableRegistry : RegistryReader {
    std::optional<std::string> read(const std::string &path) const override
    {
        return values.contains(path) ? std::optional(values.at(path)) : std::nullopt;
    }
    std::map<std::string, std::string> values;
};

TEST(OsFamily, EachRegistryStateGivesItsFamilyAndInterpreter)
{
    const std::optional<std::string> none;
    const struct {
        const char *name;
        std::optional<std::string> productType, olderVersion, ntVersion;
        std::optional<double> expected;
        bool commandCom;
    } cases[] = {
        {"nt_xp", "WinNT", none, "5.1", 5.1, false},
        {"nt_empty_product_type", "", "4.10.2222", "6.1", 6.1, false},
        {"nt_version_missing", "WinNT", none, none, std::nullopt, false},
        {"nt_version_not_a_number", "WinNT", none, "5.1a", std::nullopt, false},
        {"nt_version_infinity", "WinNT", none, "inf", std::nullopt, false},
        {"win95", none, "4.03.1214", none, 1.0, true},
        {"win98", none, "4.10.1998", "5.1", 2.0, true},
        {"win98_se", none, "4.10.2222", none, 2.0, true},
        {"win_me_gets_cmd", none, "4.90.3000", none, 3.0, false},
        {"unknown_older_version", none, "4.10.1999", none, 1.0, true},
        {"older_version_missing", none, none, none, 1.0, true},
        {"older_version_leading_blank", none, " 4.10.1998", none, 1.0, true},
    };
    for (const auto &c : cases) {
        // Paths written out rather than taken from the code, so a misspelt one fails here.
        TableRegistry registry;
        if (c.productType)
            registry.values[R"(HKLM\SYSTEM\CurrentControlSet\Control\ProductOptions\ProductType)"] = *c.productType;
        if (c.olderVersion)
            registry.values[R"(HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\VersionNumber)"] = *c.olderVersion;
        if (c.ntVersion)
            registry.values[R"(HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\CurrentVersion)"] = *c.ntVersion;

        const std::optional<double> family = readOsFamily(registry);
        EXPECT_EQ(family, c.expected) << c.name;
        EXPECT_EQ(usesCommandCom(family), c.commandCom) << c.name;
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
