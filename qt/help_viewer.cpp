#include "qt/help_viewer.h"

#include "qt/help_browser.h"
#include "help/help_controller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QIcon>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

namespace zandrel {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The page the document names as its first; the folder it stands in inside
// the document is the document's own business.
QUrl defaultTopic(QHelpEngineCore &engine, const QString &helpFile, const QString &namespaceName)
{
    const QString topic = QHelpEngineCore::metaData(helpFile, QStringLiteral("defaultTopic")).toString();
    if (topic.isEmpty())
        return {};
    for (const QUrl &url : engine.files(namespaceName, QString()))
        if (url.path().endsWith(QLatin1Char('/') + topic))
            return url;
    return {};
}

}  // namespace

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowIcon(QIcon(QStringLiteral(":/zandrel/zandrel.png")));
    // Closing gives back the files at once; and the program's life is the
    // main window's, so an open viewer never keeps it running.
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    createWidgets();
    resize(820, 580);
}

HelpViewer::~HelpViewer()
{
    // The engine goes before its contents and index views: while it stops
    // reading in the background it still reaches into them, whereas a view
    // copes with its model going away. Its databases close with it.
    m_browser->setHelpEngine(nullptr);
    delete m_engine;
}

void HelpViewer::createWidgets()
{
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("helpTabs"));
    m_browser = new HelpBrowser;
    m_browser->setObjectName(QStringLiteral("helpBrowser"));

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->addWidget(m_tabs);
    m_splitter->addWidget(m_browser);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({220, 600});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
}

bool HelpViewer::openDocument(const QString &helpFile, QString &error)
{
    if (!QFileInfo(helpFile).isFile()) {
        error = tr("The help file %1 is missing.").arg(shown(helpFile));
        return false;
    }
    const QString namespaceName = QHelpEngineCore::namespaceName(helpFile);
    if (namespaceName.isEmpty()) {
        error = tr("%1 is not a help document, or it is damaged.").arg(shown(helpFile));
        return false;
    }
    const QString collectionFile = QString::fromStdString(helpCollectionFileFor(helpFile.toStdString()));
    if (!prepareCollection(collectionFile, error))
        return false;

    auto engine = std::make_unique<QHelpEngine>(collectionFile);
    engine->setReadOnly(false);
    if (!engine->setupData()) {
        error = tr("The help could not be set up: %1").arg(engine->error());
        return false;
    }
    // A viewer the user closed leaves the collection behind with the document
    // in it; the next viewer of the run finds it there.
    if (engine->documentationFileName(namespaceName) != helpFile) {
        engine->unregisterDocumentation(namespaceName);
        if (!engine->registerDocumentation(helpFile)) {
            error = tr("The help could not be set up: %1").arg(engine->error());
            return false;
        }
    }
    const QUrl start = defaultTopic(*engine, helpFile, namespaceName);
    if (!start.isValid() || engine->fileData(start).isEmpty()) {
        error = tr("The help document %1 has no start page.").arg(shown(helpFile));
        return false;
    }
    m_engine = engine.release();

    QHelpContentWidget *contents = m_engine->contentWidget();
    contents->setObjectName(QStringLiteral("helpContents"));
    contents->setHeaderHidden(true);
    QHelpIndexWidget *index = m_engine->indexWidget();
    index->setObjectName(QStringLiteral("helpIndex"));
    m_tabs->addTab(contents, tr("Contents"));
    m_tabs->addTab(index, tr("Index"));
    connect(contents, &QHelpContentWidget::linkActivated, this, &HelpViewer::showTopic);
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink &document, const QString &) { showTopic(document.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink> &documents, const QString &) {
                if (!documents.isEmpty())
                    showTopic(documents.first().url);
            });
    // The document has one book: show its topics as soon as they are read.
    connect(m_engine->contentModel(), &QHelpContentModel::contentsCreated, contents, &QTreeView::expandAll);
    // The contents and the index are read in the background from here on.
    m_engine->setupData();

    m_browser->setHelpEngine(m_engine);
    showTopic(start);
    return true;
}

bool HelpViewer::prepareCollection(const QString &collectionFile, QString &error)
{
    // The temporary folder may be shared: the collection is made by us, for
    // us alone, and a name someone else has taken is not used.
    const QFileInfo info(collectionFile);
    if (info.isSymLink() || (info.exists() && !info.isFile())) {
        error = tr("%1 is in the way of the help.").arg(shown(collectionFile));
        return false;
    }
    if (info.exists())
        return true;
    QFile file(collectionFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        error = tr("%1: %2").arg(shown(collectionFile), file.errorString());
        return false;
    }
    return true;
}

void HelpViewer::showTopic(const QUrl &url)
{
    m_browser->setSource(url);
}

}  // namespace zandrel
