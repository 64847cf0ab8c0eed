// The real window, offscreen, on the fake runtime with the real built-in
// pages: choose, type, press Make Bracket, and read the file it wrote.

#include "templates/builtin_items.h"
#include "templates/comp_lzss3.h"
#include "tests/app/form1_fixture.h"
#include "tests/support/qt_wait.h"

#include <QAction>
#include <QApplication>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace fs = std::filesystem;

namespace zandrel::testing {
namespace {

class EndToEnd : public Form1Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("zandrel-e2e-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "program");
        fs::create_directories(root / "tmp");
        runtime = FakeRuntime((root / "program").string());
        runtime.tempFolder = (root / "tmp").string();
        for (const EmbeddedItem &item : builtInItems())
            runtime.items[item.number] = Bytes(item.bytes.begin(), item.bytes.end());
        Form1Test::SetUp();
    }
    void TearDown() override { fs::remove_all(root); }

    std::string written() const
    {
        std::ifstream in(root / "program" / "bracket.html", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // The page for item `number` with slot k holding `nameOfSlot(k)`.
    static std::string expectedPage(int number, int size, const std::function<std::string(int)> &nameOfSlot)
    {
        const auto item = BuiltInItem(number, "Custom");
        const Bytes bytes = Comp_LZSS3::decompressed(item);
        std::string page(bytes.begin(), bytes.end());
        for (int slot = 1; slot <= size; ++slot) {
            const std::string placeholder = "PLAYER " + std::to_string(slot) + "<";
            const auto at = page.find(placeholder);
            EXPECT_NE(at, std::string::npos) << slot;
            page.replace(at, placeholder.size(), nameOfSlot(slot) + "<");
        }
        return page;
    }

    void makeDoubleOf17(int seedingIndex)
    {
        chooseSize(17);
        typeList()->setCurrentIndex(1);
        seedingList()->setCurrentIndex(seedingIndex);
        for (int i = 1; i <= 32; ++i)
            box(i)->setText(QStringLiteral("Entrant %1").arg(i));
        QTest::keyClick(box(1), Qt::Key_Return);
    }

    fs::path root;
};

TEST_F(EndToEnd, SeededDoubleEliminationOfSeventeen)
{
    makeDoubleOf17(1);
    const std::string page = written();
    EXPECT_EQ(page, expectedPage(147, 17, [](int slot) { return "Entrant " + std::to_string(slot); }));
    EXPECT_EQ(runtime.messages.back().title, "Bracket Created");
    EXPECT_EQ(runtime.commands.size(), 2u);
}

TEST_F(EndToEnd, UnseededDoubleEliminationOfSeventeenFollowsTheDraw)
{
    // A generator that always answers 0 moves every entry down one place:
    // slot k gets box k + 1, and slot 17 gets box 1.
    runtime.randomValues.assign(17, 0.0f);
    makeDoubleOf17(0);
    const std::string page = written();
    EXPECT_EQ(page, expectedPage(147, 17, [](int slot) { return "Entrant " + std::to_string(slot % 17 + 1); }));
    EXPECT_EQ(runtime.randomCount, 17);
    EXPECT_EQ(page.find("Entrant 18"), std::string::npos);
}

TEST_F(EndToEnd, AProgramFolderThatCannotBeWrittenSendsThePageToTheUsersDocuments)
{
    runtime.readOnlyFolders = {(root / "program").string()};
    runtime.documents = (root / "Documents").string();
    makeDoubleOf17(1);
    const fs::path page = root / "Documents" / "Zandrel" / "bracket.html";
    EXPECT_TRUE(fs::is_regular_file(page));
    EXPECT_FALSE(fs::exists(root / "program" / "bracket.html"));
    ASSERT_FALSE(runtime.messages.empty());
    EXPECT_EQ(runtime.messages.back().text, "Bracket created in file " + page.string() + ".  Will now attempt to open...");
    ASSERT_FALSE(runtime.commands.empty());
    EXPECT_EQ(runtime.commands[0].arguments, std::vector<std::string>{page.string()});
}

TEST_F(EndToEnd, HelpTopicsOpensTheViewerOnceAndExitRemovesItsFiles)
{
    auto viewer = [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == "Zandrel Help")
                return w;
        return static_cast<QWidget *>(nullptr);
    };
    control<QAction>("mnuHelpTopics")->trigger();
    ASSERT_NE(viewer(), nullptr);
    control<QAction>("mnuHelpTopics")->trigger();
    int viewers = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        viewers += w->isVisible() && w->windowTitle() == "Zandrel Help";
    EXPECT_EQ(viewers, 1);
    std::vector<fs::path> extracted(fs::directory_iterator(root / "tmp"), fs::directory_iterator());
    ASSERT_FALSE(extracted.empty());
    for (const fs::path &file : extracted)
        EXPECT_TRUE(file.filename().string().starts_with("~rs")) << file;

    control<QAction>("mnuExit")->trigger();
    EXPECT_TRUE(fs::is_empty(root / "tmp")) << "the help file and its collection go at exit";
    // The fake runtime handles no events; the close request waits for these.
    EXPECT_TRUE(waitUntil([&viewer] { return viewer() == nullptr; }));
    EXPECT_TRUE(runtime.messages.empty());
}

TEST_F(EndToEnd, AFailedWriteIsReportedAndTheWindowKeepsEveryName)
{
    std::ofstream(root / "blocker") << "x";
    runtime = FakeRuntime((root / "blocker" / "program").string());
    runtime.tempFolder = (root / "tmp").string();
    for (const EmbeddedItem &item : builtInItems())
        runtime.items[item.number] = Bytes(item.bytes.begin(), item.bytes.end());
    makeDoubleOf17(1);
    ASSERT_EQ(runtime.failures.size(), 1u);
    EXPECT_NE(runtime.failures[0].description.find("bracket"), std::string::npos);
    EXPECT_TRUE(window->isOpen());
    EXPECT_EQ(box(17)->text(), "Entrant 17");
    EXPECT_TRUE(runtime.commands.empty());
    EXPECT_TRUE(fs::is_empty(root / "tmp")) << "the extracted page goes even when the write fails";
}

}  // namespace
}  // namespace zandrel::testing

namespace zandrel::testing {
namespace {

class StartUpWithPlayerList : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("zandrel-players-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
};

TEST_F(StartUpWithPlayerList, NamesAndSizeAreThereWhenTheWindowFirstShows)
{
    {
        std::ofstream list(folder / "players.txt", std::ios::binary);
        for (int i = 1; i <= 16; ++i)
            list << "Team " << char('A' + i - 1) << "\r\n";
    }
    FakeRuntime runtime(folder.string());
    Form1 window(runtime);
    ASSERT_TRUE(window.Form_Load());
    window.show();
    auto *size = window.findChild<QComboBox *>("TournamentSize");
    EXPECT_EQ(size->currentText(), "16");
    EXPECT_TRUE(window.findChild<QGroupBox *>("Frame1")->isVisible());
    for (int i = 1; i <= 16; ++i) {
        EXPECT_EQ(window.playerNameBox(i)->text(), QStringLiteral("Team %1").arg(QChar('A' + i - 1)));
        EXPECT_TRUE(window.playerNameBox(i)->isVisible());
    }
    EXPECT_EQ(window.playerNameBox(17)->text(), "Player 17");
    EXPECT_FALSE(window.playerNameBox(17)->isVisible());
    EXPECT_TRUE(runtime.messages.empty());
}

}  // namespace
}  // namespace zandrel::testing

#include "qt/qt_runtime.h"
#include "tests/support/qt_wait.h"

#include <QTimer>

namespace zandrel::testing {
namespace {

// The real runtime with its real ten-second wait, but recording instead of
// showing boxes or starting programs.
class RecordingQtRuntime : public QtRuntime {
public:
    explicit RecordingQtRuntime(std::string folder) : m_folder(std::move(folder)) {}
    void showMessage(const std::string &text, const std::string &, MessageIcon) override { messages.push_back(text); }
    void reportUnexpectedFailure(int, const std::string &description) override { failures.push_back(description); }
    void startCommand(const StartCommand &command) override { commands.push_back(command); }
    std::string executableFolder() const override { return m_folder; }

    std::vector<std::string> messages, failures;
    std::vector<StartCommand> commands;

private:
    std::string m_folder;
};

TEST(WaitAfterOpening, ClosingTheWindowMeanwhileOpensNoLink)
{
    const fs::path folder = fs::temp_directory_path() / ("zandrel-wait-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const bool quitOnClose = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    {
        RecordingQtRuntime runtime(folder.string());
        Form1 window(runtime);
        ASSERT_TRUE(window.Form_Load());
        window.show();
        window.findChild<QComboBox *>("TournamentSize")->setCurrentIndex(0);
        window.findChild<QComboBox *>("TournamentType")->setCurrentIndex(0);
        window.findChild<QComboBox *>("TournamentSeeding")->setCurrentIndex(1);
        bool typedDuringWait = false;
        QTimer::singleShot(300, &window, [&] {
            // The window still answers while the command waits.
            window.playerNameBox(2)->setText(QStringLiteral("Typed while waiting"));
            typedDuringWait = true;
            window.close();
        });
        window.findChild<QPushButton *>("Command1")->click();  // returns after the wait
        EXPECT_TRUE(typedDuringWait);
        ASSERT_EQ(runtime.commands.size(), 1u) << "only the page; no link after the window has gone";
        EXPECT_EQ(runtime.commands[0].arguments.back(), (folder / "bracket.html").string());
        EXPECT_TRUE(runtime.failures.empty());
    }
    QApplication::setQuitOnLastWindowClosed(quitOnClose);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace zandrel::testing
