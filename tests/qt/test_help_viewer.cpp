// The help as the user meets it: the compiled document read whole, and the viewer Help Topics opens,
// brings back, and leads through its contents and index.

#include "qt/help_browser.h"
#include "qt/help_document.h"
#include "tests/qt/qt_test_support.h"

#include <gmock/gmock.h>

namespace zandrel::testing {
namespace {

// The compiled help as the build made it, and the same file damaged: a damaged one is refused with its name.
TEST(HelpDocumentFile, ReadsTheBuiltHelpInIndexOrderAndRefusesADamagedOneByName)
{
    HelpDocument document;
    ASSERT_EQ(caught([&] { document.load(QStringLiteral(ZANDREL_HELP_DOCUMENT)); }).description(), "");
    EXPECT_EQ(document.title(), "Zandrel Help");
    EXPECT_EQ(document.contents().size(), 5);
    QStringList keywords;
    for (const HelpDocument::Keyword &keyword : document.keywords())
        keywords << keyword.keyword + ' ' + keyword.page.fileName();
    EXPECT_EQ(keywords.join(", "), "About overview.htm, EULA eula.htm, Privacy privacy.htm, Uninstall uninstall.htm");
    const QUrl start = document.startPage();
    EXPECT_TRUE(document.fileData(start).contains("<html"));
    QUrl elsewhere = start;
    elsewhere.setHost("other.help");
    EXPECT_TRUE(document.fileData(elsewhere).isEmpty());

    QTemporaryDir dir;
    QFile built(QStringLiteral(ZANDREL_HELP_DOCUMENT));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    const QByteArray whole = built.readAll();
    const struct { const char *name; QByteArray bytes; const char *reason; } damaged[] = {
        {"empty.qch", {}, "no such table"},
        {"half.qch", whole.left(whole.size() / 2), "damaged"},
        {"text.qch", "<html>not a help document</html>", "not a database"},
    };
    for (const auto &c : damaged) {
        const QString path = dir.filePath(c.name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.bytes) == c.bytes.size());
        file.close();
        EXPECT_THAT(caught([&] { document.load(path); }).description(),
                    ::testing::AllOf(::testing::HasSubstr(c.name), ::testing::HasSubstr(c.reason)));
    }
}

TEST_F(WindowOnQt, HelpTopicsOpensOneViewerOnTheFirstPageAndOnlyBringsItBackWhileItIsOpen)
{
    helpTopics();
    helpTopics();
    QPointer<HelpViewer> viewer = onlyViewer();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->browser()->source().fileName(), "overview.htm");
    const std::string whileOpen = temporaryFiles();
    viewer->showMinimized();
    helpTopics();
    EXPECT_TRUE(QTest::qWaitFor([&viewer] { return !viewer->isMinimized(); }));
    viewer->close();
    ASSERT_TRUE(QTest::qWaitFor([&viewer] { return viewer.isNull(); }));
    helpTopics();
    EXPECT_TRUE(onlyViewer());
    EXPECT_EQ(temporaryFiles(), whileOpen) << "the file written out once is opened again";
}

TEST_F(WindowOnQt, TheHelpsContentsAndIndexLeadToTheirPagesAndItsPictureShows)
{
    helpTopics();
    HelpViewer *viewer = onlyViewer();
    ASSERT_TRUE(viewer);
    QTreeWidget *contents = viewer->contents();
    ASSERT_EQ(contents->topLevelItemCount(), 1);
    emit contents->itemActivated(contents->topLevelItem(0)->child(1), 0);
    EXPECT_EQ(viewer->browser()->source().fileName(), "eula.htm");
    auto *lookFor = viewer->findChild<QLineEdit *>("helpIndexFilter");
    QTest::keyClicks(lookFor, "pri");
    QTest::keyClick(lookFor, Qt::Key_Return);
    EXPECT_EQ(viewer->browser()->source().fileName(), "privacy.htm");
    const QVariant picture = viewer->browser()->loadResource(QTextDocument::ImageResource, QUrl("background.jpg"));
    EXPECT_FALSE(QImage::fromData(picture.toByteArray()).isNull());
}

}  // namespace
}  // namespace zandrel::testing
