#include "qt/help_viewer.h"

#include "platform/failure.h"
#include "qt/help_browser.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zandrel {

namespace {

constexpr int PageRole = Qt::UserRole;

}  // namespace

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowIcon(QIcon(QStringLiteral(":/zandrel/zandrel.png")));
    // Closing frees the viewer at once; and the program's life is the main
    // window's, so an open viewer never keeps it running.
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    createWidgets();
    // A window of help is put away as a dialog is, from anywhere in it.
    for (const QKeySequence &keys : {QKeySequence(QKeySequence::Cancel), QKeySequence(QKeySequence::Close)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    resize(820, 580);
}

void HelpViewer::createWidgets()
{
    m_contents = new QTreeWidget;
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setHeaderHidden(true);
    m_contents->setColumnCount(1);
    // Its own names, for a screen reader: the tabs already say "Contents"
    // and "Index".
    m_contents->setAccessibleName(tr("Help contents"));
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { showTopic(item->data(0, PageRole).toUrl()); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { showTopic(item->data(0, PageRole).toUrl()); });

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("helpTabs"));
    m_tabs->setAccessibleName(tr("Contents and index"));
    m_tabs->addTab(m_contents, tr("Contents"));
    m_tabs->addTab(createIndexPage(), tr("Index"));

    m_browser = new HelpBrowser;
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setAccessibleName(tr("Help page"));
    m_browser->setDocument(&m_document);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->addWidget(m_tabs);
    m_splitter->addWidget(m_browser);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({220, 600});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
}

QWidget *HelpViewer::createIndexPage()
{
    auto *page = new QWidget;
    auto *label = new QLabel(tr("&Look for:"));
    m_indexFilter = new QLineEdit;
    m_indexFilter->setObjectName(QStringLiteral("helpIndexFilter"));
    label->setBuddy(m_indexFilter);
    m_indexFilter->setAccessibleName(tr("Look for"));
    m_index = new QListWidget;
    m_index->setObjectName(QStringLiteral("helpIndex"));
    m_index->setAccessibleName(tr("Help index"));
    connect(m_indexFilter, &QLineEdit::textChanged, this, &HelpViewer::filterIndex);
    // Enter in the box opens the keyword it has found.
    connect(m_indexFilter, &QLineEdit::returnPressed, this, [this] {
        if (QListWidgetItem *item = m_index->currentItem(); item && !item->isHidden())
            showTopic(item->data(PageRole).toUrl());
    });
    connect(m_index, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { showTopic(item->data(PageRole).toUrl()); });

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(label);
    layout->addWidget(m_indexFilter);
    layout->addWidget(m_index);
    return page;
}

void HelpViewer::openDocument(const QString &helpFile)
{
    if (!QFileInfo(helpFile).isFile())
        throw Failure(FailureNumber::FileNotFound,
                      tr("The help file %1 is missing.").arg(QDir::toNativeSeparators(helpFile)).toStdString());
    m_document.load(helpFile);
    fillContents();
    fillIndex();
    showTopic(m_document.startPage());
}

void HelpViewer::fillContents()
{
    // Each topic goes under the nearest one above it that is less deep.
    QList<QTreeWidgetItem *> parents;
    for (const HelpDocument::Topic &topic : m_document.contents()) {
        while (parents.size() > topic.depth)
            parents.removeLast();
        auto *item = parents.isEmpty() ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.last());
        item->setText(0, topic.title);
        item->setData(0, PageRole, topic.page);
        parents.append(item);
    }
    m_contents->expandAll();
    m_contents->setCurrentItem(m_contents->topLevelItem(0));
}

void HelpViewer::fillIndex()
{
    for (const HelpDocument::Keyword &keyword : m_document.keywords()) {
        auto *item = new QListWidgetItem(keyword.keyword, m_index);
        item->setData(PageRole, keyword.page);
    }
    m_index->setCurrentRow(0);
}

void HelpViewer::filterIndex(const QString &text)
{
    // The keywords that begin with what was typed stay, and the first is
    // made current, so Enter opens it.
    QListWidgetItem *first = nullptr;
    for (int row = 0; row < m_index->count(); ++row) {
        QListWidgetItem *item = m_index->item(row);
        const bool matches = item->text().startsWith(text.trimmed(), Qt::CaseInsensitive);
        item->setHidden(!matches);
        if (matches && !first)
            first = item;
    }
    m_index->setCurrentItem(first);
}

void HelpViewer::showTopic(const QUrl &url)
{
    if (url.isValid())
        m_browser->setSource(url);
}

}  // namespace zandrel
