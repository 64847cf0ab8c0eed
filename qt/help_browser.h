#pragma once
// The page pane of the help viewer: a text browser that reads its pages and
// pictures out of the help document instead of from disk.

#include <QTextBrowser>

namespace zandrel {

class HelpDocument;

class HelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    // The document the pages come from; the browser does not own it.
    void setDocument(const HelpDocument *document);

    QVariant loadResource(int type, const QUrl &name) override;

private:
    void followLink(const QUrl &url);

    const HelpDocument *m_document = nullptr;
};

}  // namespace zandrel
