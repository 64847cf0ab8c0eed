#pragma once
// The help viewer: a window of its own, beside the main window, with the
// document's contents and keyword index in tabs and the pages beside them.
// It deletes itself when closed and then lets go of the help files.

#include <QUrl>
#include <QWidget>

class QHelpEngine;
class QSplitter;
class QTabWidget;

namespace zandrel {

class HelpBrowser;

class HelpViewer : public QWidget {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget *parent = nullptr);
    ~HelpViewer() override;

    // Opens the help file at `helpFile`, with its collection file beside it,
    // and shows the document's first page. Returns false, with the reason in
    // `error`, when the file cannot be shown; the viewer is then empty.
    bool openDocument(const QString &helpFile, QString &error);

    // For the window's tests.
    QHelpEngine *helpEngine() const { return m_engine; }
    HelpBrowser *browser() const { return m_browser; }
    QTabWidget *tabs() const { return m_tabs; }

private:
    void createWidgets();
    bool prepareCollection(const QString &collectionFile, QString &error);
    void showTopic(const QUrl &url);

    QHelpEngine *m_engine = nullptr;
    QSplitter *m_splitter = nullptr;
    QTabWidget *m_tabs = nullptr;
    HelpBrowser *m_browser = nullptr;
};

}  // namespace zandrel
