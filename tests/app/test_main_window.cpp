// The main window as a user meets it, offscreen on the in-memory fake runtime,
// and, with the real built-in pages, the page that Make Bracket writes.

#include "app/main_window.h"
#include "app/layout.h"
#include "app/twips.h"
#include "platform/tournament.h"
#include "product.h"
#include "templates/builtin_items.h"
#include "templates/lzss_decoder.h"
#include "tests/support/fakes.h"

#include <gmock/gmock.h>

#include <QtTest>
#include <QtWidgets>

#include <memory>
#include <set>

namespace zandrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;

struct MainWindowTest : ::testing::Test {
    void SetUp() override
    {
        window = std::make_unique<MainWindow>(runtime.services());
        ASSERT_TRUE(window->startUp());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T = QWidget>
    T *control(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }
    QLineEdit *box(int i) const { return window->nameBox(i); }

    // What the user picks: a size (0: none), a type and a seeding (-1: none).
    void choose(int size, int type = -1, int seeding = -1)
    {
        control<QComboBox>("sizeList")->setCurrentIndex(size ? size - MinEntrants : -1);
        control<QComboBox>("typeList")->setCurrentIndex(type);
        control<QComboBox>("seedingList")->setCurrentIndex(seeding);
    }

    FakeSystem runtime;
    std::unique_ptr<MainWindow> window;
};

TEST(MainWindowStartUp, APlayerListFillsNamesAndSizeBeforeTheWindowFirstShowsAndWithoutOneNothingIsChosen)
{
    for (const int listed : {0, 16}) {
        FakeSystem runtime;
        for (int i = 1; i <= listed; ++i)
            for (const char c : "Team " + std::to_string(i) + "\r\n")
                runtime.files["/program/players.txt"].push_back(static_cast<unsigned char>(c));
        MainWindow window(runtime.services());
        ASSERT_TRUE(window.startUp());
        const auto text = [&window](const char *list) { return window.findChild<QComboBox *>(list)->currentText(); };
        EXPECT_EQ(text("sizeList") + text("typeList") + text("seedingList"), listed ? "16" : "");
        for (int i = 1; i <= MaxEntrants; ++i) {
            EXPECT_EQ(window.nameBox(i)->text(), QString(i <= listed ? "Team %1" : "Player %1").arg(i));
            EXPECT_EQ(window.nameBox(i)->isVisibleTo(&window), i <= listed) << i << " of " << listed;
        }
        EXPECT_TRUE(runtime.messages.empty());
    }
}

TEST_F(MainWindowTest, EveryCaptionAndEveryListEntryFitsItsControl)
{
    choose(32);
    auto fits = [](QWidget *widget, const QString &text, int room) {
        widget->ensurePolished();
        EXPECT_LE(QFontMetrics(widget->font()).horizontalAdvance(text), room)
            << widget->objectName().toStdString() << ": " << text.toStdString();
    };
    for (QLabel *label : window->findChildren<QLabel *>())
        fits(label, label->text(), label->width());
    auto *button = control<QPushButton>("makeBracketButton");
    fits(button, button->text(), button->width() - 8);
    fits(box(32), box(32)->text(), box(32)->width() - 6);
    for (QComboBox *list : window->findChildren<QComboBox *>()) {
        // The room the list's style gives the chosen entry, less the pixel it keeps on each side.
        QStyleOptionComboBox option;
        option.initFrom(list);
        const QRect field =
            list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        for (int i = 0; i < list->count(); ++i)
            fits(list, list->itemText(i), field.width() - 2);
    }
}

TEST_F(MainWindowTest, EachSizeShowsItsBoxesInCentredColumnsAndHiddenBoxesKeepTheirNames)
{
    for (int i = 1; i <= MaxEntrants; ++i)
        box(i)->setText(QStringLiteral("Team %1").arg(i));
    // The tops of the eight rows of a column, in twips.
    const double rowTops[] = {240, 600, 960, 1320, 1680, 2040, 2400, 2760};
    const std::pair<int, std::vector<double>> cases[] = {  // a size, its columns' lefts in twips, to the pixel
        {32, {613.33, 2053.33, 3493.33, 4933.33}}, {3, {2760}}, {8, {2760}}, {9, {1960, 3400}},
        {16, {1960, 3400}}, {17, {1320, 2760, 4200}}, {24, {1320, 2760, 4200}},
        {25, {613.33, 2053.33, 3493.33, 4933.33}},
    };
    for (const auto &[size, columns] : cases) {
        choose(size);
        std::set<int> lefts;
        for (int i = 1; i <= MaxEntrants; ++i) {
            EXPECT_EQ(box(i)->isVisible(), i <= size) << "box " << i << " of " << size;
            if (i <= size)
                lefts.insert(box(i)->x());
            EXPECT_NEAR(layout::pixelsToTwips(box(i)->y()), rowTops[(i - 1) % 8], layout::TwipsPerPixel / 2) << i;
        }
        ASSERT_EQ(lefts.size(), columns.size()) << size;
        for (std::size_t i = 0; i < columns.size(); ++i)
            EXPECT_NEAR(layout::pixelsToTwips(*std::next(lefts.begin(), i)), columns[i], layout::TwipsPerPixel / 2);
    }
    for (int i = 1; i <= MaxEntrants; ++i)
        EXPECT_EQ(box(i)->text(), QStringLiteral("Team %1").arg(i));
}

TEST_F(MainWindowTest, TabWalksTheInputsThenTheVisibleBoxesThenTheButtonAndTheLinkAndAClickSelectsAWholeName)
{
    choose(11);
    control("titleEdit")->setFocus();
    QStringList visited;
    for (int step = 0; step < 18; ++step) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QStringList expected{"titleEdit", "sizeList", "typeList", "seedingList"};
    for (int i = 1; i <= 11; ++i)
        expected << QStringLiteral("nameBox%1").arg(i);
    EXPECT_EQ(visited, expected << "makeBracketButton" << "privacyLink" << "titleEdit");
    QTest::mouseClick(box(3), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([this] { return box(3)->selectedText() == QStringLiteral("Player 3"); }));
}

TEST_F(MainWindowTest, MakeBracketChecksTheListsInOrderFocusingTheFirstUnchosen)
{
    const struct {
        int size, type, seeding;  // what is chosen; 0 and -1: nothing
        const char *title, *text, *focus;
    } cases[] = {
        {0, -1, -1, "Size not selected", "Must select Tournament Size first", "sizeList"},
        {0, 0, 1, "Size not selected", "Must select Tournament Size first", "sizeList"},
        {8, -1, 0, "Type not selected", "Must select Tournament Type first", "typeList"},
        {8, 1, -1, "Seed type selected", "Must select Seeding Type first", "seedingList"},
    };
    for (const auto &c : cases) {
        choose(c.size, c.type, c.seeding);
        control("titleEdit")->setFocus();
        runtime.messages.clear();
        control<QPushButton>("makeBracketButton")->click();
        EXPECT_THAT(runtime.messages, ElementsAre(AllOf(Field(&Notice::title, c.title),
                                                        Field(&Notice::text, c.text),
                                                        Field(&Notice::icon, MessageIcon::Exclamation))));
        EXPECT_EQ(QApplication::focusWidget(), control(c.focus));
        EXPECT_TRUE(runtime.files.empty() && runtime.opened.empty());
    }
}

// The menu, and Enter in the title, a list, a name box or on the button (the keypad's too), each run Make
// Bracket once, after the key's last release; the repeats of a held Enter, which Qt flags or X11 sends as a
// release and a press at one instant, run nothing. (With nothing chosen, each run says so in a box.)
TEST_F(MainWindowTest, TheMenuAndEnterAnywhereRunMakeBracketOnceButAHeldEnterDoesNotRepeatIt)
{
    choose(8, 1, -1);
    enum Press { Pressed, Flagged, AtRelease };
    const char *const made = "Seed type selected";
    const std::tuple<const char *, Qt::Key, Press, const char *> ways[] = {{"makeBracketAction", {}, Pressed, made},
        {"titleEdit", Qt::Key_Return, Pressed, made}, {"typeList", Qt::Key_Return, Pressed, made},
        {"nameBox3", Qt::Key_Return, Pressed, made}, {"nameBox2", Qt::Key_Enter, Pressed, made},
        {"makeBracketButton", Qt::Key_Return, Pressed, made}, {"nameBox3", Qt::Key_Return, Flagged, nullptr},
        {"makeBracketButton", Qt::Key_Enter, Flagged, nullptr}, {"titleEdit", Qt::Key_Return, AtRelease, nullptr},
        {"makeBracketButton", Qt::Key_Return, AtRelease, nullptr}};
    for (const auto &[input, key, how, title] : ways) {
        runtime.messages.clear();
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier), press(QEvent::KeyPress, key, Qt::NoModifier,
                                                                          QString(), how == Flagged);
        release.setTimestamp(1000);
        press.setTimestamp(how == AtRelease ? 1000 : 1250);
        if (auto *menu = control<QAction>(input); menu)
            menu->trigger();
        else
            control(input)->setFocus(), QApplication::sendEvent(control(input), &release),
                QApplication::sendEvent(control(input), &press);
        EXPECT_EQ(runtime.messages.size(), title ? 1u : 0u) << input << " " << how;
        EXPECT_TRUE(!title || runtime.messages.at(0).title == title) << input;
    }
}

TEST_F(MainWindowTest, AboutZandrelShowsItsBox)
{
    control<QAction>("aboutAction")->trigger();
    ASSERT_EQ(runtime.messages.size(), 1u);
    EXPECT_EQ(runtime.messages[0].title, "About Zandrel");
    EXPECT_EQ(runtime.messages[0].icon, MessageIcon::Information);
}

TEST_F(MainWindowTest, TheOuterSizeStopsAtItsLimitsWhereTheControlsAreLaidOutAgain)
{
    const std::tuple<QSize, QSize, std::vector<double>> cases[] = {
        {{2000, 1500}, {layout::MaxOuterWidth, layout::MaxOuterHeight},
         {6892.5, 6512.5, 4022.5, 6897.5, 4022.5, 4377.5, 14325, 6952.5, 10202.5, 15120}},
        {{100, 100}, {layout::MinOuterWidth, layout::MinOuterHeight},
         {2917.5, 2200, 47.5, 2585, 47.5, 65, 6375, 2977.5, 5890, 7170}},
    };
    for (const auto &[asked, outer, places] : cases) {
        window->resize(asked);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().size() == outer; })) << asked.width();
        const auto left = [this](const char *name) { return twipsLeft(control(name)); };
        const auto top = [this](const char *name) { return twipsTop(control(name)); };
        EXPECT_EQ(std::vector({left("makeBracketButton"), top("makeBracketButton"), left("namesFrame"),
                               top("namesFrame"), left("optionsFrame"), top("optionsFrame"), left("aboutLink"),
                               left("privacyLink"), top("privacyLink"), twipsWidth(control("topLine"))}),
                  places);
    }
}

TEST_F(MainWindowTest, ThePrivacyLinkOpensAModalWindowCentredOverTheMovedWindowThatEnterCloses)
{
    choose(3);
    window->move(37, 51);
    QTest::mouseClick(control("privacyLink"), Qt::LeftButton);
    QPointer<QWidget> privacy = QApplication::activeModalWidget();
    ASSERT_TRUE(privacy);
    EXPECT_LE((privacy->frameGeometry().center() - window->frameGeometry().center()).manhattanLength(), 2);
    ASSERT_TRUE(QTest::qWaitFor([&privacy] { return QApplication::activeWindow() == privacy; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&privacy] { return privacy.isNull(); }));
}

// Qt flags some repeats of a held key; X11 sends the others as a release and a press at one instant.
TEST_F(MainWindowTest, AHeldKeyOnThePrivacyLinkFollowsItOnce)
{
    choose(3);
    QWidget *link = control("privacyLink");
    link->setFocus();
    QKeyEvent flagged(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QString(), true),
        release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier), atRelease(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier),
        later(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    release.setTimestamp(1000), atRelease.setTimestamp(1000), later.setTimestamp(1250);
    for (QKeyEvent *repeat : {&flagged, &release, &atRelease})
        QApplication::sendEvent(link, repeat);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QApplication::sendEvent(link, &later);
    QPointer<QWidget> privacy = QApplication::activeModalWidget();
    EXPECT_TRUE(privacy);
    delete privacy;
}

TEST(MainWindowShutdown, ExitAndTheCloseBoxEachRunItOnce)
{
    for (const bool byMenu : {true, false}) {
        FakeSystem runtime;
        MainWindow window(runtime.services());
        ASSERT_TRUE(window.startUp());
        window.show();
        byMenu ? window.findChild<QAction *>("exitAction")->trigger() : void(window.close());
        EXPECT_FALSE(window.isVisible() || window.isOpen()) << byMenu;
        window.shutDown();  // as any later way out would
        EXPECT_EQ(runtime.releaseCount, 1) << byMenu;
    }
}

TEST(MainWindowSecondCopy, HandsOverAndNeverShowsItsWindow)
{
    FakeSystem runtime;
    runtime.anotherCopyRuns = true;
    MainWindow window(runtime.services());
    EXPECT_FALSE(window.startUp());
    EXPECT_EQ(runtime.activatedTitles, std::vector<std::string>{"Zandrel"});
    EXPECT_TRUE(window.windowTitle() == "unloading..." && QGuiApplication::applicationDisplayName() == "unloading...");
    EXPECT_FALSE(window.isOpen() || window.isVisible());
}

// Built-in page `item`, for 17 entrants, with slot k holding the name typed in box `boxOfSlot(k)`.
std::string expectedPage(int item, int (*boxOfSlot)(int))
{
    const Bytes bytes = lzss::decompressed(builtInItemBytes(item, "Custom"));
    std::string page(bytes.begin(), bytes.end());
    for (int slot = 1; slot <= 17; ++slot) {
        const std::string placeholder = "PLAYER " + std::to_string(slot) + "<";
        const auto at = page.find(placeholder);
        EXPECT_NE(at, std::string::npos) << slot;
        page.replace(at, placeholder.size(), "Entrant " + std::to_string(boxOfSlot(slot)) + "<");
    }
    return page;
}

TEST_F(MainWindowTest, EndToEndThePageIsWrittenWholeWhereItCanAndOpenedOrAFailedWriteIsReportedKeepingTheNames)
{
    const struct {
        const char *name, *folder;  // where the page goes; empty: nowhere, a folder is in its place
        int type, seeding;  // the entries picked: Single, Double; Unseeded, Seeded
        int (*boxOfSlot)(int);
        int item;  // the page it is made from
    } cases[] = {
        {"seeded", "/program", 1, 1, [](int slot) { return slot; }, DoubleEliminationItemBase + 17},
        {"single_elimination", "/program", 0, 1, [](int slot) { return slot; }, SingleEliminationItemBase + 17},
        // A generator that always answers 0 moves every entry down one place.
        {"unseeded_follows_the_draw", "/program", 1, 0, [](int slot) { return slot % 17 + 1; },
         DoubleEliminationItemBase + 17},
        {"program_folder_read_only", "/home/me/Documents/Zandrel", 1, 1, [](int slot) { return slot; },
         DoubleEliminationItemBase + 17},
        {"write_fails", "", 1, 1, nullptr, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        runtime = FakeSystem();
        runtime.carryBuiltInItems();
        runtime.randomValues.assign(17, 0.0f);
        runtime.documents = "/home/me/Documents";
        if (std::string(c.folder).starts_with("/home"))
            runtime.readOnlyFolders = {"/program"};
        if (!*c.folder)
            runtime.folders.insert("/program/bracket.html");
        choose(17, c.type, c.seeding);
        for (int i = 1; i <= MaxEntrants; ++i)
            box(i)->setText(QStringLiteral("Entrant %1").arg(i));
        QTest::keyClick(box(1), Qt::Key_Return);
        if (!c.boxOfSlot) {
            EXPECT_THAT(said(runtime), ElementsAre(::testing::StartsWith("(x) Zandrel: Error 75: /program/bracket.html")));
            EXPECT_TRUE(window->isOpen() && runtime.opened.empty() && box(17)->text() == "Entrant 17");
            EXPECT_TRUE(runtime.files.empty()) << "the extracted page goes even when the write fails";
            continue;
        }
        const std::string page = std::string(c.folder) + "/bracket.html";
        EXPECT_EQ(runtime.files.size(), 1u) << "the page, and nothing left beside it";
        EXPECT_EQ(runtime.text(page), expectedPage(c.item, c.boxOfSlot));
        EXPECT_EQ(runtime.messages.at(0).text, "Bracket created in file " + page + ".  Will now attempt to open...");
        EXPECT_THAT(runtime.opened, ElementsAre(page, product::WebLink));
    }
}

}  // namespace
}  // namespace zandrel::testing
