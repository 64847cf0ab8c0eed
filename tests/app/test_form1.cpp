// The main window as a user meets it: start-up, the name grid, Tab and Enter,
// the list checks of Make Bracket, size limits, links and menus.

#include "app/layout.h"
#include "app/twips.h"
#include "tests/app/form1_fixture.h"
#include "tests/support/qt_wait.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <set>

namespace zandrel::testing {
namespace {

TEST_F(Form1Test, StartsWithFilledListsNothingChosenAndTheGridHidden)
{
    ASSERT_EQ(sizeList()->count(), 30);
    EXPECT_EQ(sizeList()->itemText(0), "3");
    EXPECT_EQ(sizeList()->itemText(29), "32");
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(sizeList()->itemText(i).toInt(), i + 3);
    EXPECT_EQ(typeList()->count(), 2);
    EXPECT_EQ(seedingList()->itemText(1), "Seeded (according to order below)");
    for (QComboBox *list : {sizeList(), typeList(), seedingList()}) {
        EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
        EXPECT_TRUE(list->currentText().isEmpty());
    }
    for (int i = 1; i <= 32; ++i)
        EXPECT_EQ(box(i)->text(), QStringLiteral("Player %1").arg(i));
    EXPECT_FALSE(control<QGroupBox>("Frame1")->isVisible());
    EXPECT_FALSE(control<QLabel>("PrivacyPolicyLabel")->isVisible());
    EXPECT_FALSE(control<QLabel>("Label5")->isVisible());
    EXPECT_TRUE(control<QPushButton>("Command1")->isVisible());
    EXPECT_EQ(window->windowTitle(), "Zandrel");
    EXPECT_EQ(runtime.seedCount, 1);
}

TEST_F(Form1Test, EveryCaptionFitsItsControl)
{
    chooseSize(32);
    auto fits = [](QWidget *widget, const QString &text, int room) {
        widget->ensurePolished();
        const int needed = QFontMetrics(widget->font()).horizontalAdvance(text);
        EXPECT_LE(needed, room) << widget->objectName().toStdString() << ": " << text.toStdString();
    };
    for (QLabel *label : window->findChildren<QLabel *>())
        fits(label, label->text(), label->width());
    auto *button = control<QPushButton>("Command1");
    fits(button, button->text(), button->width() - 8);
    for (QComboBox *list : {sizeList(), typeList(), seedingList()}) {
        // The room the list's style gives the chosen entry, less the pixel it keeps on each side.
        QStyleOptionComboBox option;
        option.initFrom(list);
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                          QStyle::SC_ComboBoxEditField, list);
        for (int i = 0; i < list->count(); ++i)
            fits(list, list->itemText(i), field.width() - 2);
    }
    fits(box(32), box(32)->text(), box(32)->width() - 6);
}

TEST_F(Form1Test, EverySizeShowsItsBoxesInCentredColumns)
{
    struct Expected {
        int from, to;
        std::vector<double> columns;
    };
    const Expected table[] = {
        {3, 8, {2760}},
        {9, 16, {1960, 3400}},
        {17, 24, {1320, 2760, 4200}},
        {25, 32, {613.33, 2053.33, 3493.33, 4933.33}},
    };
    for (const Expected &row : table) {
        for (int n = row.from; n <= row.to; ++n) {
            SCOPED_TRACE(n);
            chooseSize(n);
            std::set<double> lefts;
            for (int i = 1; i <= 32; ++i) {
                EXPECT_EQ(box(i)->isVisible(), i <= n) << "box " << i;
                if (i <= n)
                    lefts.insert(twipsLeft(box(i)));
                // Box i stays in its row whatever the size.
                EXPECT_FLOAT_EQ(static_cast<float>(twipsTop(box(i))), 240.0f + 360.0f * static_cast<float>((i - 1) % 8));
            }
            ASSERT_EQ(lefts.size(), row.columns.size());
            auto it = lefts.begin();
            for (double expected : row.columns)
                EXPECT_NEAR(*it++, expected, 0.01);
            EXPECT_TRUE(control<QGroupBox>("Frame1")->isVisible());
            EXPECT_TRUE(control<QLabel>("PrivacyPolicyLabel")->isVisible());
        }
    }
    // Box 9 heads the second column, beside box 1.
    chooseSize(9);
    EXPECT_EQ(box(9)->y(), box(1)->y());
    EXPECT_EQ(box(9)->x() - box(1)->x(), layout::twipsToPixels(1440));
}

TEST_F(Form1Test, HiddenBoxesKeepTheirNames)
{
    chooseSize(24);
    for (int i = 1; i <= 24; ++i)
        box(i)->setText(QStringLiteral("Team %1").arg(i * 7));
    chooseSize(5);
    for (int i = 6; i <= 24; ++i)
        EXPECT_FALSE(box(i)->isVisible());
    EXPECT_NEAR(twipsLeft(box(5)), 2760, 0.01);
    chooseSize(24);
    for (int i = 1; i <= 24; ++i) {
        EXPECT_TRUE(box(i)->isVisible());
        EXPECT_EQ(box(i)->text(), QStringLiteral("Team %1").arg(i * 7));
    }
}

TEST_F(Form1Test, TabWalksTheInputsThenTheVisibleBoxesThenTheButton)
{
    chooseSize(11);
    control<QLineEdit>("TournamentTitle")->setFocus();
    QStringList visited;
    for (int step = 0; step < 17; ++step) {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QStringList expected{"TournamentTitle", "TournamentSize", "TournamentType", "TournamentSeeding"};
    for (int i = 1; i <= 11; ++i)
        expected << QStringLiteral("PlayerName%1").arg(i);
    expected << "Command1" << "TournamentTitle";
    EXPECT_EQ(visited, expected);
}

TEST_F(Form1Test, FocusOnANameBoxSelectsItsWholeText)
{
    chooseSize(4);
    box(3)->setText(QStringLiteral("Ada Lovelace"));
    box(2)->setFocus();
    QTest::keyClick(box(2), Qt::Key_Tab);
    EXPECT_TRUE(waitUntil([this] { return box(3)->selectedText() == QStringLiteral("Ada Lovelace"); }));
}

struct ValidationCase {
    const char *name;
    int size, type, seeding;  // list index, -1 for nothing chosen
    const char *message;
    const char *title;
    const char *focus;
};

TEST_F(Form1Test, MakeBracketChecksTheListsInOrder)
{
    const ValidationCase cases[] = {
        {"nothing", -1, -1, -1, "Must select Tournament Size first", "Size not selected", "TournamentSize"},
        {"type and seeding only", -1, 0, 1, "Must select Tournament Size first", "Size not selected",
         "TournamentSize"},
        {"size only", 5, -1, -1, "Must select Tournament Type first", "Type not selected", "TournamentType"},
        {"size and seeding", 5, -1, 0, "Must select Tournament Type first", "Type not selected", "TournamentType"},
        {"size and type", 5, 1, -1, "Must select Seeding Type first", "Seed type selected", "TournamentSeeding"},
    };
    for (const ValidationCase &c : cases) {
        SCOPED_TRACE(c.name);
        sizeList()->setCurrentIndex(c.size);
        typeList()->setCurrentIndex(c.type);
        seedingList()->setCurrentIndex(c.seeding);
        control<QLineEdit>("TournamentTitle")->setFocus();
        runtime.messages.clear();
        control<QPushButton>("Command1")->click();
        ASSERT_EQ(runtime.messages.size(), 1u);
        EXPECT_EQ(runtime.messages[0].text, c.message);
        EXPECT_EQ(runtime.messages[0].title, c.title);
        EXPECT_EQ(runtime.messages[0].icon, MessageIcon::Exclamation);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), c.focus);
    }
}

TEST_F(Form1Test, MenuAndEnterRunTheSameCommandAsTheButton)
{
    chooseSize(5);
    auto sizeMessages = [this] {
        return std::count_if(runtime.messages.begin(), runtime.messages.end(),
                             [](const RecordedMessage &m) { return m.title == "Type not selected"; });
    };
    control<QAction>("mnuMakeBracket")->trigger();
    EXPECT_EQ(sizeMessages(), 1);
    for (QWidget *from : std::initializer_list<QWidget *>{control<QLineEdit>("TournamentTitle"), sizeList(),
                                                          seedingList(), box(3)}) {
        SCOPED_TRACE(from->objectName().toStdString());
        const auto before = sizeMessages();
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Return);
        EXPECT_EQ(sizeMessages(), before + 1);
    }
    QTest::keyClick(box(2), Qt::Key_Enter);  // the keypad's Enter as well
    EXPECT_EQ(sizeMessages(), 6);
}

TEST_F(Form1Test, OuterSizeStaysWithinItsLimits)
{
    window->resize(2000, 1500);
    EXPECT_TRUE(waitUntil([this] { return window->frameGeometry().width() <= layout::MaxOuterWidth; }));
    EXPECT_LE(window->frameGeometry().height(), layout::MaxOuterHeight);
    window->resize(100, 100);
    EXPECT_TRUE(waitUntil([this] { return window->frameGeometry().width() >= layout::MinOuterWidth; }));
    EXPECT_GE(window->frameGeometry().height(), layout::MinOuterHeight);
}

TEST_F(Form1Test, ResizingLaysTheControlsOutAgain)
{
    window->resize(640, 520);
    const QSize outer = window->frameGeometry().size();
    ASSERT_EQ(window->size(), QSize(640, 520));
    const layout::FormLayout expected = layout::formLayout(outer.width() * 15, outer.height() * 15);
    auto *button = control<QPushButton>("Command1");
    EXPECT_DOUBLE_EQ(twipsLeft(button), expected.command1Left);
    EXPECT_DOUBLE_EQ(twipsTop(button), expected.command1Top);
    EXPECT_DOUBLE_EQ(twipsTop(control<QGroupBox>("Frame1")), expected.frame1Top);
    EXPECT_DOUBLE_EQ(twipsLeft(control<QLabel>("Label5")), expected.label5Left);
    EXPECT_DOUBLE_EQ(twipsWidth(control<QFrame>("fraTopLine")), expected.topLineWidth);
}

TEST_F(Form1Test, PrivacyWindowOpensCentredOverTheMovedWindow)
{
    chooseSize(3);
    window->move(37, 51);
    window->resize(700, 610);
    auto *link = control<QLabel>("PrivacyPolicyLabel");
    QTest::mouseMove(link);
    QTest::mouseClick(link, Qt::LeftButton);
    QWidget *privacy = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "Form2" && w->isVisible())
            privacy = w;
    ASSERT_NE(privacy, nullptr);
    EXPECT_EQ(privacy->windowTitle(), "Privacy Policy");
    EXPECT_TRUE(privacy->isModal());
    const QPoint mainCentre = window->frameGeometry().center();
    const QPoint ownCentre = privacy->frameGeometry().center();
    EXPECT_LE(std::abs(mainCentre.x() - ownCentre.x()), 1);
    EXPECT_LE(std::abs(mainCentre.y() - ownCentre.y()), 1);
    EXPECT_EQ(window->centralWidget()->cursor().shape(), Qt::ArrowCursor);
    auto *text = privacy->findChild<QPlainTextEdit *>("Text1");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->toPlainText().startsWith("Privacy Policy\n\nThe Zandrel software application"));

    // Enter right after opening presses OK, and the window goes away.
    QPointer<QWidget> guard(privacy);
    ASSERT_TRUE(waitUntil([] { return QApplication::focusWidget() && QApplication::focusWidget()->objectName() == "Command1"; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&guard] { return guard.isNull(); }));
}

TEST_F(Form1Test, HoveringThePrivacyLinkShowsTheQuestionArrowUntilTheSurface)
{
    chooseSize(3);
    QWidget *client = window->centralWidget();
    auto hover = [](QWidget *over) {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), over->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(over, &move);
    };
    hover(control<QLabel>("PrivacyPolicyLabel"));
    EXPECT_EQ(client->cursor().shape(), Qt::WhatsThisCursor);
    hover(client);
    EXPECT_EQ(client->cursor().shape(), Qt::ArrowCursor);
    hover(control<QLabel>("PrivacyPolicyLabel"));
    hover(control<QGroupBox>("Frame1"));
    EXPECT_EQ(client->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(Form1Test, AboutBoxShowsItsSixLines)
{
    control<QAction>("mnuAbout")->trigger();
    ASSERT_EQ(runtime.messages.size(), 1u);
    const RecordedMessage &about = runtime.messages[0];
    EXPECT_EQ(about.title, "About Zandrel");
    EXPECT_EQ(about.icon, MessageIcon::Information);
    const QStringList lines = QString::fromStdString(about.text).split("\r\n");
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "Z A N D R E L");
    EXPECT_EQ(lines[1], QString(23, ' ') + "Version 1.2");
    EXPECT_TRUE(lines[2].isEmpty());
    EXPECT_EQ(lines[3], "Web site:  zandrel.example");
    EXPECT_TRUE(lines[4].isEmpty());
    EXPECT_EQ(lines[5], "Created by:  The Zandrel developers (developers@zandrel.example)");
}

TEST_F(Form1Test, ExitAndTheCloseBoxRunTheSameShutdownOnce)
{
    control<QAction>("mnuExit")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isOpen());
    EXPECT_EQ(runtime.releaseCount, 1);
    window->close();
    EXPECT_EQ(runtime.releaseCount, 1);
}

TEST(Form1SecondCopy, HandsOverAndNeverShowsItsWindow)
{
    FakeRuntime runtime;
    runtime.anotherCopyRuns = true;
    Form1 window(runtime);
    EXPECT_FALSE(window.Form_Load());
    EXPECT_EQ(runtime.activatedTitles, std::vector<std::string>{"Zandrel"});
    EXPECT_EQ(runtime.applicationTitle, "unloading...");
    EXPECT_EQ(window.windowTitle(), "unloading...");
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isOpen());
    EXPECT_EQ(runtime.seedCount, 0);
}

}  // namespace
}  // namespace zandrel::testing
