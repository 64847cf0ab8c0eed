#pragma once
// The help viewer: a window of its own, beside the main window, with the
// document's contents and keyword index in tabs and the pages beside them.
// It deletes itself when closed. The document is read whole when it opens,
// so the viewer never holds the help file.

#include "qt/help_document.h"

#include <QUrl>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QSplitter;
class QTabWidget;
class QTreeWidget;

namespace zandrel {

class HelpBrowser;

class HelpViewer : public QWidget {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget *parent = nullptr);

    // Reads the help file at `helpFile` and shows the document's first page.
    // Throws Failure, saying why, when the file cannot be shown; the viewer
    // is then empty.
    void openDocument(const QString &helpFile);

    // For the window's tests.
    HelpBrowser *browser() const { return m_browser; }
    QTreeWidget *contents() const { return m_contents; }
    QListWidget *index() const { return m_index; }

private:
    void createWidgets();
    QWidget *createIndexPage();
    void fillContents();
    void fillIndex();
    void filterIndex(const QString &text);
    void showTopic(const QUrl &url);

    HelpDocument m_document;
    QSplitter *m_splitter = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_contents = nullptr;
    QLineEdit *m_indexFilter = nullptr;
    QListWidget *m_index = nullptr;
    HelpBrowser *m_browser = nullptr;
};

}  // namespace zandrel
