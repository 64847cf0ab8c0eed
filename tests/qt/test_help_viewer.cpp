// The help as the user meets it: the built document in the program, the
// viewer window it opens in, and what is left on disk when the program ends.

#include "qt/help_browser.h"
#include "help/help_controller.h"
#include "platform/tournament.h"
#include "qt/help_qt_windows.h"
#include "qt/help_viewer.h"
#include "product.h"
#include "templates/builtin_items.h"
#include "tests/support/fake_runtime.h"
#include "tests/support/qt_wait.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QImage>
#include <QPointer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocument>

namespace zandrel::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// The fake runtime, except that handling events really handles Qt's: the
// viewer is closed by a queued request.
class EventRuntime : public FakeRuntime {
public:
    void processEvents() override { QCoreApplication::processEvents(); }
};

QList<HelpViewer *> shownViewers()
{
    QList<HelpViewer *> viewers;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *viewer = qobject_cast<HelpViewer *>(widget); viewer && viewer->isVisible())
            viewers << viewer;
    return viewers;
}

bool contentsAndIndexRead(QHelpEngine *engine)
{
    return engine->contentModel()->rowCount() > 0 && !engine->contentModel()->isCreatingContents() &&
           engine->indexModel()->rowCount() > 0 && !engine->indexModel()->isCreatingIndex();
}

class HelpWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        runtime.tempFolder = QDir::toNativeSeparators(m_dir.path()).toStdString();
        const auto item = BuiltInItem(HelpItemNumber, BuiltInItemType);
        runtime.items[HelpItemNumber] = Bytes(item.begin(), item.end());
    }
    void TearDown() override
    {
        // Whatever a test left open goes, as at exit.
        help.shutdown();
        EXPECT_THAT(shownViewers(), IsEmpty());
    }

    QStringList filesLeft() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    HelpViewer *onlyViewer() const
    {
        const QList<HelpViewer *> viewers = shownViewers();
        EXPECT_EQ(viewers.size(), 1);
        return viewers.isEmpty() ? nullptr : viewers.first();
    }

    QTemporaryDir m_dir;
    EventRuntime runtime;
    QtHelpWindows windows;
    HelpController help{runtime, windows};
};

TEST_F(HelpWindow, HelpTopicsOpensTheOverviewBringsItBackReopensItAndExitLeavesNoFile)
{
    help.ShowHelp();
    QPointer<HelpViewer> viewer = onlyViewer();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Zandrel Help"));
    EXPECT_EQ(viewer->browser()->source().fileName(), QStringLiteral("overview.htm"));
    EXPECT_THAT(viewer->browser()->toPlainText().toStdString(), HasSubstr("bracket.html"));
    // The page's picture comes out of the document, named as the page names it.
    const QVariant picture =
        viewer->browser()->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("background.jpg")));
    EXPECT_FALSE(QImage::fromData(picture.toByteArray()).isNull());
    const QStringList filesAfterFirst = filesLeft();
    EXPECT_EQ(filesAfterFirst.size(), 2) << filesAfterFirst.join(u' ').toStdString();

    help.ShowHelp();
    EXPECT_EQ(onlyViewer(), viewer);
    viewer->showMinimized();
    ASSERT_TRUE(viewer->isMinimized());
    help.ShowHelp();
    EXPECT_TRUE(waitUntil([&viewer] { return !viewer->isMinimized(); }));
    EXPECT_EQ(onlyViewer(), viewer);

    viewer->close();
    ASSERT_TRUE(waitUntil([&viewer] { return viewer.isNull(); }));
    help.ShowHelp();
    viewer = onlyViewer();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->browser()->source().fileName(), QStringLiteral("overview.htm"));
    // The collection the first viewer left is read again, not refused.
    EXPECT_TRUE(waitUntil([&viewer] { return contentsAndIndexRead(viewer->helpEngine()); }));
    EXPECT_EQ(filesLeft(), filesAfterFirst);
    EXPECT_THAT(runtime.messages, IsEmpty());

    help.shutdown();
    EXPECT_TRUE(viewer.isNull());
    EXPECT_THAT(filesLeft(), IsEmpty());
}

TEST_F(HelpWindow, TheDocumentHasItsTitleContentsAndIndexAndTheTabsLeadToTheirPages)
{
    help.ShowHelp();
    HelpViewer *viewer = onlyViewer();
    ASSERT_NE(viewer, nullptr);
    QHelpEngine *engine = viewer->helpEngine();
    ASSERT_TRUE(waitUntil([engine] { return contentsAndIndexRead(engine); }));
    const QString helpFile = QString::fromStdString(help.helpFileNameString());
    EXPECT_EQ(QHelpEngineCore::metaData(helpFile, QStringLiteral("title")).toString(), QString::fromLatin1(HelpTitle));
    EXPECT_EQ(QHelpEngineCore::metaData(helpFile, QStringLiteral("defaultTopic")).toString(),
              QStringLiteral("overview.htm"));

    // One book, the program's name, holding the four topics in order; each
    // topic shows the picture and has its placeholders filled in.
    ASSERT_EQ(engine->contentModel()->rowCount(), 1);
    const QHelpContentItem *book = engine->contentModel()->contentItemAt(engine->contentModel()->index(0, 0));
    EXPECT_EQ(book->title(), QStringLiteral("Zandrel"));
    QStringList topics;
    for (int row = 0; row < book->childCount(); ++row) {
        topics << book->child(row)->url().fileName();
        const QByteArray page = engine->fileData(book->child(row)->url());
        EXPECT_TRUE(page.contains("background.jpg") && !page.contains('@' + QByteArray("ZANDREL_"))) << row;
    }
    const QStringList expectedTopics{"overview.htm", "eula.htm", "privacy.htm", "uninstall.htm"};
    EXPECT_EQ(topics, expectedTopics);
    EXPECT_TRUE(engine->fileData(book->child(0)->url()).contains(product::WebLink));

    // One keyword per topic, in the same order.
    const QStringList keywords{"About", "EULA", "Privacy", "Uninstall"};
    EXPECT_EQ(engine->indexModel()->rowCount(), keywords.size());
    for (qsizetype i = 0; i < keywords.size(); ++i) {
        const QList<QHelpLink> links = engine->documentsForKeyword(keywords[i]);
        ASSERT_EQ(links.size(), 1) << keywords[i].toStdString();
        EXPECT_EQ(links.first().url.fileName(), expectedTopics[i]);
    }

    auto *contents = qobject_cast<QHelpContentWidget *>(viewer->tabs()->widget(0));
    auto *index = qobject_cast<QHelpIndexWidget *>(viewer->tabs()->widget(1));
    ASSERT_TRUE(contents && index);
    emit contents->activated(contents->model()->index(1, 0, contents->model()->index(0, 0)));
    EXPECT_EQ(viewer->browser()->source().fileName(), QStringLiteral("eula.htm"));
    const QModelIndexList privacy =
        index->model()->match(index->model()->index(0, 0), Qt::DisplayRole, QStringLiteral("Privacy"));
    ASSERT_EQ(privacy.size(), 1);
    index->setCurrentIndex(privacy.first());
    index->activateCurrentItem();
    EXPECT_EQ(viewer->browser()->source().fileName(), QStringLiteral("privacy.htm"));
    EXPECT_THAT(viewer->browser()->toPlainText().toStdString(), HasSubstr("Privacy Policy"));
}

TEST_F(HelpWindow, ADocumentThatCannotBeShownIsToldAndNothingOpens)
{
    runtime.items[HelpItemNumber] = Bytes{'I', 'T', 'S', 'F', 3, 0, 0, 0, 0x60, 0, 0, 0};

    help.ShowHelp();

    ASSERT_EQ(runtime.messages.size(), 1u);
    EXPECT_THAT(runtime.messages[0].text, StartsWith("Unable to open the help file!"));
    EXPECT_THAT(runtime.messages[0].text, HasSubstr("not a help document"));
    EXPECT_EQ(runtime.messages[0].icon, MessageIcon::Stop);
    EXPECT_THAT(shownViewers(), IsEmpty());
}

}  // namespace
}  // namespace zandrel::testing
