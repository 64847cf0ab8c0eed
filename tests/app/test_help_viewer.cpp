// The help as the user meets it: the built document in the program, the
// viewer window it opens in, and what is left on disk when the program ends.

#include "platform/help_browser.h"
#include "platform/help_controller.h"
#include "platform/help_qt_windows.h"
#include "platform/help_viewer.h"
#include "product.h"
#include "templates/builtin_items.h"
#include "tests/support/fake_runtime.h"
#include "tests/support/qt_wait.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
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

Bytes embeddedHelp()
{
    const auto item = BuiltInItem(HelpItemNumber, BuiltInItemType);
    return Bytes(item.begin(), item.end());
}

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
        runtime.items[HelpItemNumber] = embeddedHelp();
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

TEST_F(HelpWindow, HelpTopicsOpensTheOverviewThenOnlyBringsTheViewerBack)
{
    help.ShowHelp();

    HelpViewer *viewer = onlyViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Zandrel Help"));
    EXPECT_TRUE(viewer->isWindow());
    EXPECT_EQ(viewer->browser()->source().fileName(), QStringLiteral("overview.htm"));
    EXPECT_THAT(viewer->browser()->toPlainText().toStdString(), HasSubstr("bracket.html"));
    // The page's picture comes out of the document, named as the page names it.
    const QVariant picture =
        viewer->browser()->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("background.jpg")));
    EXPECT_FALSE(QImage::fromData(picture.toByteArray()).isNull());
    EXPECT_THAT(runtime.messages, IsEmpty());
    const QStringList filesAfterFirst = filesLeft();
    EXPECT_EQ(filesAfterFirst.size(), 2) << filesAfterFirst.join(u' ').toStdString();

    help.ShowHelp();
    EXPECT_EQ(onlyViewer(), viewer);
    EXPECT_EQ(filesLeft(), filesAfterFirst);

    viewer->showMinimized();
    ASSERT_TRUE(viewer->isMinimized());
    help.ShowHelp();
    EXPECT_TRUE(waitUntil([viewer] { return !viewer->isMinimized(); }));
    EXPECT_EQ(onlyViewer(), viewer);
    EXPECT_EQ(filesLeft(), filesAfterFirst);
}

TEST_F(HelpWindow, AClosedViewerOpensAgainOnTheSameFile)
{
    help.ShowHelp();
    QPointer<HelpViewer> first = onlyViewer();
    ASSERT_TRUE(first);
    const std::string helpFile = help.helpFileNameString();
    const QStringList filesAfterFirst = filesLeft();
    first->close();
    ASSERT_TRUE(waitUntil([&first] { return first.isNull(); }));

    help.ShowHelp();

    HelpViewer *second = onlyViewer();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(help.helpFileNameString(), helpFile);
    EXPECT_EQ(filesLeft(), filesAfterFirst);
    EXPECT_EQ(second->browser()->source().fileName(), QStringLiteral("overview.htm"));
    // The collection the first viewer left is read again, not refused.
    EXPECT_TRUE(waitUntil([second] { return contentsAndIndexRead(second->helpEngine()); }));
    EXPECT_THAT(runtime.messages, IsEmpty());
}

TEST_F(HelpWindow, ExitClosesTheViewerAndLeavesNoFileBehind)
{
    help.ShowHelp();
    QPointer<HelpViewer> viewer = onlyViewer();
    ASSERT_TRUE(viewer);
    ASSERT_EQ(filesLeft().size(), 2);

    help.shutdown();

    EXPECT_TRUE(viewer.isNull());
    EXPECT_THAT(filesLeft(), IsEmpty());
}

TEST_F(HelpWindow, TheContentsAndIndexTabsLeadToTheirPages)
{
    help.ShowHelp();
    HelpViewer *viewer = onlyViewer();
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(waitUntil([viewer] { return contentsAndIndexRead(viewer->helpEngine()); }));
    ASSERT_EQ(viewer->tabs()->count(), 2);
    EXPECT_EQ(viewer->tabs()->tabText(0), QStringLiteral("Contents"));
    EXPECT_EQ(viewer->tabs()->tabText(1), QStringLiteral("Index"));

    auto *contents = qobject_cast<QHelpContentWidget *>(viewer->tabs()->widget(0));
    ASSERT_NE(contents, nullptr);
    const QModelIndex book = contents->model()->index(0, 0);
    emit contents->activated(contents->model()->index(1, 0, book));
    EXPECT_EQ(viewer->browser()->source().fileName(), QStringLiteral("eula.htm"));

    auto *index = qobject_cast<QHelpIndexWidget *>(viewer->tabs()->widget(1));
    ASSERT_NE(index, nullptr);
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

// The document itself, read with Qt's help engine apart from the viewer.
TEST(HelpDocument, CarriesItsTitleStartPageContentsIndexAndPicture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString helpFile = dir.filePath(QStringLiteral("help.qch"));
    {
        const Bytes bytes = embeddedHelp();
        QFile file(helpFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char *>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    EXPECT_EQ(QHelpEngineCore::metaData(helpFile, QStringLiteral("title")).toString(), QString::fromLatin1(HelpTitle));
    EXPECT_EQ(QHelpEngineCore::metaData(helpFile, QStringLiteral("defaultTopic")).toString(),
              QStringLiteral("overview.htm"));

    QHelpEngine engine(dir.filePath(QStringLiteral("help.qhc")));
    engine.setReadOnly(false);
    ASSERT_TRUE(engine.setupData()) << engine.error().toStdString();
    ASSERT_TRUE(engine.registerDocumentation(helpFile)) << engine.error().toStdString();
    ASSERT_TRUE(engine.setupData()) << engine.error().toStdString();
    ASSERT_TRUE(waitUntil([&engine] { return contentsAndIndexRead(&engine); }));

    // One book, the program's name, holding the four topics in order.
    QHelpContentModel *contents = engine.contentModel();
    ASSERT_EQ(contents->rowCount(), 1);
    const QModelIndex bookIndex = contents->index(0, 0);
    const QHelpContentItem *book = contents->contentItemAt(bookIndex);
    EXPECT_EQ(book->title(), QStringLiteral("Zandrel"));
    QStringList topics;
    for (int row = 0; row < book->childCount(); ++row)
        topics << book->child(row)->url().fileName();
    EXPECT_EQ(topics, (QStringList{QStringLiteral("overview.htm"), QStringLiteral("eula.htm"),
                                   QStringLiteral("privacy.htm"), QStringLiteral("uninstall.htm")}));

    // One keyword per topic.
    const struct {
        const char *keyword;
        const char *topic;
    } keywords[] = {{"About", "overview.htm"}, {"EULA", "eula.htm"}, {"Privacy", "privacy.htm"},
                    {"Uninstall", "uninstall.htm"}};
    EXPECT_EQ(engine.indexModel()->rowCount(), static_cast<int>(std::size(keywords)));
    for (const auto &k : keywords) {
        SCOPED_TRACE(k.keyword);
        const QList<QHelpLink> links = engine.documentsForKeyword(QString::fromLatin1(k.keyword));
        ASSERT_EQ(links.size(), 1);
        EXPECT_EQ(links.first().url.fileName(), QString::fromLatin1(k.topic));
    }

    // Every page is there, carries the picture, and names the configured web link.
    for (const QString &topic : topics) {
        SCOPED_TRACE(topic.toStdString());
        const QUrl url = book->child(static_cast<int>(topics.indexOf(topic)))->url();
        const QByteArray page = engine.fileData(url);
        EXPECT_TRUE(page.contains("background.jpg"));
        EXPECT_FALSE(page.contains('@' + QByteArray("ZANDREL_")));
        const QImage picture = QImage::fromData(engine.fileData(url.resolved(QUrl(QStringLiteral("background.jpg")))));
        EXPECT_FALSE(picture.isNull());
    }
    EXPECT_TRUE(engine.fileData(book->child(0)->url()).contains(product::WebLink));
}

}  // namespace
}  // namespace zandrel::testing
