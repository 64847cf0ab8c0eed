// Where the page is written and the list is read: beside the program while
// that works, in the user's documents folder otherwise, never in the
// program's folder for an installed program.

#include "platform/failure.h"
#include "platform/output_folder.h"
#include "tests/support/fake_runtime.h"

#include <gtest/gtest.h>

#include <set>

namespace zandrel::testing {
namespace {

constexpr const char *Program = "/opt/z";
constexpr const char *Documents = "/home/u/Documents";
constexpr const char *UserFolder = "/home/u/Documents/Zandrel";

// Folders and files as names only: what is there, what may be written, what gets made.
struct Folders : FakeRuntime {
    std::string executableFolder() const override { return program; }
    bool canWriteInFolder(const std::string &folder) override { return folder != Program || programWritable; }
    bool fileExists(const std::string &path) const override { return there.contains(path); }
    void makeFolder(const std::string &folder) override
    {
        if (!canMake)
            throw Failure(FailureNumber::PermissionDenied, folder + ": Permission denied");
        made.push_back(folder);
    }

    std::string program = Program;  // empty: the system could not name it as text
    bool programWritable = true;
    bool canMake = true;
    std::set<std::string> there;
    std::vector<std::string> made;
};

TEST(OutputFolder, ProgramFolderWhileItCanBeWrittenOtherwiseTheUsersOwnMadeWhenFirstNeeded)
{
    const struct {
        const char *name;
        bool userFolderOnly, programWritable, userFolderThere, canMake;
        std::string program, documents;
        std::string folder;  // empty: a failure with `failure`
        int failure;
    } cases[] = {
        {"portable_writable", false, true, false, true, Program, Documents, Program, 0},
        {"portable_read_only", false, false, false, true, Program, Documents, UserFolder, 0},
        {"user_folder_already_there", false, false, true, true, Program, Documents, UserFolder, 0},
        {"no_documents_folder_write_says_why", false, false, false, true, Program, "", Program, 0},
        {"user_folder_cannot_be_made", false, false, false, false, Program, Documents, "",
         FailureNumber::PermissionDenied},
        {"installed_never_writes_beside_itself", true, true, false, true, Program, Documents, UserFolder, 0},
        {"installed_without_documents_folder", true, true, false, true, Program, "", "", FailureNumber::PathNotFound},
        {"unnamed_program_folder_is_never_the_current_one", false, true, false, true, "", Documents, UserFolder, 0},
        {"unnamed_program_folder_and_no_documents", false, true, false, true, "", "", "", FailureNumber::PathNotFound},
    };
    for (const auto &c : cases) {
        Folders runtime;
        runtime.program = c.program;
        runtime.programWritable = c.programWritable;
        runtime.canMake = c.canMake;
        runtime.documents = c.documents;
        if (c.userFolderThere)
            runtime.there.insert(UserFolder);
        const bool makes = c.folder == UserFolder && !c.userFolderThere;
        try {
            EXPECT_EQ(outputFolder(runtime, c.userFolderOnly), c.folder) << c.name;
            EXPECT_EQ(c.failure, 0) << c.name;
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.number(), c.failure) << c.name << ": " << failure.description();
        }
        EXPECT_EQ(runtime.made, makes ? std::vector<std::string>{UserFolder} : std::vector<std::string>{})
            << c.name;
    }
}

TEST(OutputFolder, ThePlayerListIsReadBesideTheProgramWhenItIsThereOtherwiseFromTheUsersFolder)
{
    const struct {
        const char *name;
        bool userFolderOnly, besideProgram, inUserFolder;
        std::string documents;
        std::string folder;
    } cases[] = {
        {"beside_program", false, true, false, Documents, Program},
        {"in_user_folder", false, false, true, Documents, UserFolder},
        {"both_program_wins", false, true, true, Documents, Program},
        {"neither_looks_in_user_folder", false, false, false, Documents, UserFolder},
        {"installed_ignores_program_folder", true, true, true, Documents, UserFolder},
        {"no_documents_folder", false, false, false, "", Program},
        {"unnamed_program_folder_and_no_documents", false, false, false, "", ""},
    };
    for (const auto &c : cases) {
        Folders runtime;
        runtime.program = c.folder.empty() ? "" : Program;
        runtime.documents = c.documents;
        if (c.besideProgram)
            runtime.there.insert(std::string(Program) + "/players.txt");
        if (c.inUserFolder)
            runtime.there.insert(std::string(UserFolder) + "/players.txt");
        EXPECT_EQ(playerListFolder(runtime, c.userFolderOnly), c.folder) << c.name;
        EXPECT_TRUE(runtime.made.empty()) << c.name << ": looking never makes a folder";
    }
}

}  // namespace
}  // namespace zandrel::testing
