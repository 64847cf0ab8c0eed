// Getting a template out as a page file: what is left in the temporary folder
// afterwards, what the user is told, and what reaches the caller as a failure.

#include "platform/failure.h"
#include "templates/bracket_template.h"
#include "templates/lzss_encoder.h"
#include "templates/mod_res_files.h"
#include "tests/support/fake_runtime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using zandrel::Bytes;
using zandrel::GetBracketTemplate;
using zandrel::MessageIcon;
using zandrel::testing::FakeRuntime;

// A runtime whose disk is full: the item cannot be written.
class FullDiskRuntime : public FakeRuntime {
public:
    void createFileExclusive(const std::string &path, const Bytes &bytes) override
    {
        if (!bytes.empty())
            throw zandrel::Failure(zandrel::FailureNumber::DiskFull, path + ": No space left on device");
        FakeRuntime::createFileExclusive(path, bytes);
    }
};

Bytes samplePage()
{
    std::string page = "<html><head><title></title></head><body><table>\r\n";
    for (int slot = 1; slot <= 8; ++slot)
        page += "<tr><td style='border-bottom:solid 1.0pt'><b>PLAYER " + std::to_string(slot) + "</b></td></tr>\r\n";
    page += "</table></body></html>\r\n";
    return Bytes(page.begin(), page.end());
}

class Extraction : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = fs::temp_directory_path()
                   / (std::string("zandrel-extraction-") + info->name() + "-" + std::to_string(std::random_device{}()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

public:
    // Gives the runtime the temporary folder and the item 108 made from the sample page.
    void prepare(FakeRuntime &runtime) const
    {
        runtime.tempFolder = m_folder.string();
        runtime.items[108] = zandrel::lzss::compressItem(samplePage());
    }

protected:
    std::vector<std::string> filesLeft() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(m_folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    fs::path m_folder;
};

TEST_F(Extraction, LeavesOnlyThePageHoldingTheExpandedItem)
{
    FakeRuntime runtime;
    prepare(runtime);

    const std::string page = GetBracketTemplate(runtime, 108);

    EXPECT_TRUE(runtime.messages.empty());
    ASSERT_EQ(filesLeft().size(), 1u);
    const std::string name = filesLeft().front();
    EXPECT_THAT(name, ::testing::StartsWith("~rs"));
    EXPECT_THAT(name, ::testing::EndsWith(".htm"));
    EXPECT_EQ(fs::path(page), m_folder / name);
    EXPECT_EQ(runtime.readFile(page, SIZE_MAX), samplePage());
}

TEST_F(Extraction, TellsTheUserWhyThereIsNoPageAndLeavesNothingBehind)
{
    const struct {
        const char *name;
        std::function<std::unique_ptr<FakeRuntime>(const Extraction &)> runtime;
        int templateNumber;
        const char *message;
    } rows[] = {
        {"no temporary folder",
         [](const Extraction &) { return std::make_unique<FakeRuntime>(); }, 108,
         "Unable to get temp file name!"},
        {"no item with that number",
         [](const Extraction &t) {
             auto r = std::make_unique<FakeRuntime>();
             t.prepare(*r);
             return r;
         },
         163, "Unable to save resource item to disk!"},
        {"disk full while saving the item",
         [](const Extraction &t) {
             std::unique_ptr<FakeRuntime> r = std::make_unique<FullDiskRuntime>();
             t.prepare(*r);
             return r;
         },
         108, "Unable to save resource item to disk!"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const auto runtime = row.runtime(*this);

        EXPECT_EQ(GetBracketTemplate(*runtime, row.templateNumber), "");

        ASSERT_EQ(runtime->messages.size(), 1u);
        EXPECT_EQ(runtime->messages[0].text, row.message);
        EXPECT_EQ(runtime->messages[0].title, "Zandrel");
        EXPECT_EQ(runtime->messages[0].icon, MessageIcon::Stop);
        EXPECT_THAT(filesLeft(), ::testing::IsEmpty());
    }
}

TEST_F(Extraction, PassesOnFailuresItDoesNotReportWithoutLeavingTheItem)
{
    FakeRuntime runtime;
    prepare(runtime);
    runtime.items[109] = {0, 0, 0, 0, 0, 0, 0xC0, 0, 9, 0, 0, 0, 16, 'a'};  // a copy from 9 bytes back after 1 byte

    try {
        GetBracketTemplate(runtime, 109);
        ADD_FAILURE() << "a corrupt item gave a page";
    } catch (const zandrel::Failure &failure) {
        EXPECT_EQ(failure.number(), zandrel::FailureNumber::CorruptItem);
    }
    EXPECT_TRUE(runtime.messages.empty());
    EXPECT_THAT(filesLeft(), ::testing::IsEmpty());
}

TEST_F(Extraction, NeverWritesThroughAFileAlreadyUnderThePageName)
{
    FakeRuntime runtime;
    prepare(runtime);
    // The fake names its temporary files ~rs1.tmp, ~rs2.tmp, ... in turn.
    const fs::path planted = m_folder / "~rs1.tmp.htm";
    const Bytes plantedBytes{'m', 'i', 'n', 'e'};
    runtime.createFileExclusive(planted.string(), plantedBytes);

    EXPECT_THROW(GetBracketTemplate(runtime, 108), zandrel::Failure);

    EXPECT_EQ(runtime.readFile(planted.string(), SIZE_MAX), plantedBytes);
    EXPECT_THAT(filesLeft(), ::testing::ElementsAre("~rs1.tmp.htm"));
}

TEST(ModResFiles, TrimAtNullCutsAtTheFirstNul)
{
    using namespace std::string_literals;
    const struct {
        const char *name;
        std::string text;
        std::string expected;
    } rows[] = {
        {"no NUL", "/tmp/~rs1.tmp", "/tmp/~rs1.tmp"},
        {"NUL first", "\0abc"s, ""},
        {"more text after the first NUL", "/tmp/~rs1.tmp\0\0x\0"s, "/tmp/~rs1.tmp"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(zandrel::ModResFiles::TrimAtNull(row.text), row.expected);
    }
}

}  // namespace
