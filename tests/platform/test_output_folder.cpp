// Where the page is written and the list is read: beside the program while
// that works, in the user's documents folder otherwise, never in the
// program's folder for an installed program, never in the current folder.

#include "platform/failure.h"
#include "platform/output_folder.h"
#include "tests/support/fake_runtime.h"

#include <gtest/gtest.h>

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
        {"no_documents_folder_write_says_why", false, ProgramReadOnly, Program, "", Program, 0},
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

}  // namespace
}  // namespace zandrel::testing
