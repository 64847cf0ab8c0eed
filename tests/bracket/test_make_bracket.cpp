// The whole make-bracket command on the fake runtime, with the real built-in
// pages: what it writes, what it says, what it opens, and in which order.

#include "bracket/bracket_view.h"
#include "bracket/make_bracket.h"
#include "platform/failure.h"
#include "product.h"
#include "templates/builtin_items.h"
#include "tests/support/fake_runtime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace zandrel::testing {
namespace {

struct FakeView : BracketView {
    std::string size, type = "Single Elimination", seeding = "Seeded (according to order below)", title;
    std::array<std::string, 33> names;
    bool open = true;
    std::vector<ChoiceList> focused;

    FakeView()
    {
        for (int i = 1; i <= 32; ++i)
            names[static_cast<std::size_t>(i)] = "Player " + std::to_string(i);
    }
    std::string sizeText() const override { return size; }
    std::string typeText() const override { return type; }
    std::string seedingText() const override { return seeding; }
    std::string titleText() const override { return title; }
    std::string playerName(int box) const override { return names.at(static_cast<std::size_t>(box)); }
    void focusList(ChoiceList list) override { focused.push_back(list); }
    bool isOpen() const override { return open; }
};

// What a started command opens, however the host starts it: the Windows
// command line names it among its quoted arguments.
std::string opened(const StartCommand &command)
{
    return command.arguments.empty() ? command.windowsCommandLine : command.arguments.back();
}

std::string readText(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class MakeBracketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("zandrel make " + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "program");
        fs::create_directories(root / "tmp");
        runtime = std::make_unique<FakeRuntime>((root / "program").string());
        runtime->tempFolder = (root / "tmp").string();
        for (const EmbeddedItem &item : builtInItems())
            runtime->items[item.number] = Bytes(item.bytes.begin(), item.bytes.end());
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path output() const { return root / "program" / "bracket.html"; }
    std::size_t leftoverTemporaries() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(root / "tmp"), fs::directory_iterator()));
    }

    fs::path root;
    std::unique_ptr<FakeRuntime> runtime;
    FakeView view;
};

TEST(TemplateNumber, SizeAndKindPickTheItem)
{
    EXPECT_EQ(templateNumberFor("3", "Single Elimination"), 103);
    EXPECT_EQ(templateNumberFor("32", "Single Elimination"), 132);
    EXPECT_EQ(templateNumberFor("3", "Double Elimination"), 133);
    EXPECT_EQ(templateNumberFor("32", "Double Elimination"), 162);
    // Only the exact text means single elimination.
    EXPECT_EQ(templateNumberFor("12", "single elimination"), 142);
    EXPECT_EQ(templateNumberFor("12", "Single Elimination "), 142);
    EXPECT_THROW(templateNumberFor("twelve", "Single Elimination"), Failure);
}

TEST_F(MakeBracketTest, SeededPageIsWrittenAnnouncedThenOpenedAndTheLinkFollows)
{
    view.size = "12";
    view.title = "Club Night";
    view.names[1] = "Ada";
    view.names[10] = "Jo";
    bool writtenBeforeMessage = false;
    bool openedBeforeMessageClosed = true;
    runtime->onMessage = [&] {
        writtenBeforeMessage = fs::exists(output());
        openedBeforeMessageClosed = !runtime->commands.empty();
    };
    MakeBracket(*runtime, view);

    const std::string page = readText(output());
    EXPECT_NE(page.find("<title>Club Night</title>"), std::string::npos);
    EXPECT_NE(page.find(">Ada<"), std::string::npos);
    EXPECT_NE(page.find(">Jo<"), std::string::npos);
    EXPECT_EQ(page.find("PLAYER"), std::string::npos);

    ASSERT_EQ(runtime->messages.size(), 1u);
    EXPECT_EQ(runtime->messages[0].text,
              "Bracket created in file " + output().string() + ".  Will now attempt to open...");
    EXPECT_EQ(runtime->messages[0].title, "Bracket Created");
    EXPECT_EQ(runtime->messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(writtenBeforeMessage);
    EXPECT_FALSE(openedBeforeMessageClosed);

    ASSERT_EQ(runtime->commands.size(), 2u);
    EXPECT_THAT(opened(runtime->commands[0]), ::testing::HasSubstr(output().string()));
    EXPECT_THAT(opened(runtime->commands[1]), ::testing::HasSubstr(product::WebLink));
    EXPECT_EQ(runtime->waits, std::vector<int>{10});
    EXPECT_EQ(leftoverTemporaries(), 0u) << "the extracted page must not stay behind";
    EXPECT_EQ(runtime->randomCount, 0) << "a seeded bracket draws nothing";
}

TEST_F(MakeBracketTest, AMissingItemIsReportedAndNothingIsWrittenOrOpened)
{
    runtime->items.erase(140);
    view.size = "10";
    view.type = "Double Elimination";
    MakeBracket(*runtime, view);
    ASSERT_EQ(runtime->messages.size(), 1u);
    EXPECT_EQ(runtime->messages[0].text, "Unable to save resource item to disk!\nNo built-in item 140");
    EXPECT_EQ(runtime->messages[0].icon, MessageIcon::Stop);
    EXPECT_FALSE(fs::exists(output()));
    EXPECT_TRUE(runtime->commands.empty());
    EXPECT_EQ(leftoverTemporaries(), 0u);
}

TEST_F(MakeBracketTest, ASecondCommandDuringTheWaitRunsCompletelyInsideTheFirst)
{
    view.size = "6";
    runtime->onWait = [this] {
        view.size = "7";
        view.names[7] = "Late entrant";
        MakeBracket(*runtime, view);
    };
    MakeBracket(*runtime, view);
    ASSERT_EQ(runtime->commands.size(), 4u);
    const std::string page = output().string();
    EXPECT_THAT(opened(runtime->commands[0]), ::testing::HasSubstr(page));
    EXPECT_THAT(opened(runtime->commands[1]), ::testing::HasSubstr(page));
    EXPECT_THAT(opened(runtime->commands[2]), ::testing::HasSubstr(product::WebLink));
    EXPECT_THAT(opened(runtime->commands[3]), ::testing::HasSubstr(product::WebLink));
    EXPECT_EQ(runtime->messages.size(), 2u);
    EXPECT_NE(readText(output()).find("Late entrant"), std::string::npos) << "the later page stays";
}

TEST_F(MakeBracketTest, ClosingTheWindowDuringTheWaitOpensNoLink)
{
    view.size = "3";
    runtime->onWait = [this] { view.open = false; };
    MakeBracket(*runtime, view);
    ASSERT_EQ(runtime->commands.size(), 1u);
    EXPECT_THAT(opened(runtime->commands[0]), ::testing::HasSubstr(output().string()));
}

}  // namespace
}  // namespace zandrel::testing
