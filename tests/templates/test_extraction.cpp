// Getting a template out as a page file: what is left in the temporary folder
// afterwards, what the user is told, and what reaches the caller as a failure.

#include "platform/failure.h"
#include "templates/bracket_template.h"
#include "templates/builtin_items.h"
#include "templates/mod_res_files.h"
#include "tests/support/fake_runtime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using zandrel::Bytes;
using zandrel::GetBracketTemplate;
using zandrel::testing::FakeRuntime;

// The fake runtime, whose disk can be full: then no item can be written.
class DiskRuntime : public FakeRuntime {
public:
    bool full = false;
    void createFileExclusive(const std::string &path, const Bytes &bytes) override
    {
        if (full && !bytes.empty())
            throw zandrel::Failure(zandrel::FailureNumber::DiskFull, path + ": No space left on device");
        FakeRuntime::createFileExclusive(path, bytes);
    }
};

class Extraction : public ::testing::Test {
protected:
    Extraction() { fs::create_directories(m_folder); }
    ~Extraction() override { fs::remove_all(m_folder); }

    // Gives the runtime the temporary folder and the shipped item 108.
    void prepare(FakeRuntime &runtime) const
    {
        runtime.tempFolder = m_folder.string();
        const auto item = zandrel::BuiltInItem(108, "Custom");
        runtime.items[108] = Bytes(item.begin(), item.end());
    }

    std::vector<std::string> filesLeft() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(m_folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    const fs::path m_folder =
        fs::temp_directory_path() / ("zandrel-extraction-" + std::to_string(std::random_device{}()));
};

TEST_F(Extraction, LeavesOnlyThePageHoldingTheExpandedItem)
{
    FakeRuntime runtime;
    prepare(runtime);

    const std::string page = GetBracketTemplate(runtime, 108);

    EXPECT_TRUE(runtime.messages.empty());
    ASSERT_EQ(filesLeft().size(), 1u);
    const std::string name = filesLeft().front();
    EXPECT_THAT(name, ::testing::MatchesRegex("~rs.*\\.htm"));
    EXPECT_EQ(fs::path(page), m_folder / name);
    EXPECT_EQ(runtime.readFile(page, SIZE_MAX), runtime.readFile(ZANDREL_PAGES_DIR "/108.htm", SIZE_MAX));
}

TEST_F(Extraction, ReportsWhyThereIsNoPageAndLeavesNothingBehind)
{
    const struct {
        const char *name;
        bool tempFolder;
        bool diskFull;
        int templateNumber;
        const char *message;  // null: no message, the failure reaches the caller
        const char *why;      // in the message's second line: where and why
    } rows[] = {
        {"no temporary folder", false, false, 108, "Unable to get temp file name!", "no temporary folder"},
        {"no item with that number", true, false, 163, "Unable to save resource item to disk!", "item 163"},
        {"disk full while saving the item", true, true, 108, "Unable to save resource item to disk!",
         "No space left on device"},
        {"corrupt item", true, false, 109, nullptr, nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        DiskRuntime runtime;
        runtime.full = row.diskFull;
        prepare(runtime);
        if (!row.tempFolder)
            runtime.tempFolder.clear();
        runtime.items[109] = {0, 0, 0, 0, 0, 0, 0xC0, 0, 9, 0, 0, 0, 16, 'a'};  // a copy from 9 bytes back after 1 byte

        try {
            EXPECT_EQ(GetBracketTemplate(runtime, row.templateNumber), "");
            EXPECT_NE(row.message, nullptr) << "returned without a failure";
        } catch (const zandrel::Failure &failure) {
            EXPECT_EQ(row.message, nullptr) << failure.description();
            EXPECT_EQ(failure.number(), zandrel::FailureNumber::CorruptItem);
        }

        ASSERT_EQ(runtime.messages.size(), row.message ? 1u : 0u);
        if (row.message) {
            EXPECT_THAT(runtime.messages[0].text,
                        ::testing::MatchesRegex(std::string(row.message) + "\n.*" + row.why + ".*"));
            EXPECT_EQ(runtime.messages[0].title, "Zandrel");
            EXPECT_EQ(runtime.messages[0].icon, zandrel::MessageIcon::Stop);
        }
        EXPECT_THAT(filesLeft(), ::testing::IsEmpty());
    }
}

TEST_F(Extraction, NeverWritesThroughAFileAlreadyUnderThePageName)
{
    FakeRuntime runtime;
    prepare(runtime);
    // The fake names its temporary files ~rs1.tmp, ~rs2.tmp, ... in turn.
    const std::string planted = (m_folder / "~rs1.tmp.htm").string();
    runtime.createFileExclusive(planted, {'m', 'i', 'n', 'e'});

    EXPECT_THROW(GetBracketTemplate(runtime, 108), zandrel::Failure);

    EXPECT_EQ(runtime.readFile(planted, SIZE_MAX), (Bytes{'m', 'i', 'n', 'e'}));
    EXPECT_THAT(filesLeft(), ::testing::ElementsAre("~rs1.tmp.htm"));
}

TEST(ModResFiles, TrimAtNullCutsAtTheFirstNul)
{
    using namespace std::string_literals;
    EXPECT_EQ(zandrel::ModResFiles::TrimAtNull("/tmp/~rs1.tmp"), "/tmp/~rs1.tmp");
    EXPECT_EQ(zandrel::ModResFiles::TrimAtNull("\0abc"s), "");
    EXPECT_EQ(zandrel::ModResFiles::TrimAtNull("/tmp/~rs1.tmp\0\0x\0"s), "/tmp/~rs1.tmp");
}

}  // namespace
