#pragma once
// The page pane of the help viewer: a text browser that reads its pages and
// pictures out of the help document instead of from disk.

#include <QTextBrowser>

class QHelpEngineCore;

namespace zandrel {

class HelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    // The engine the pages come from; the browser does not own it.
    void setHelpEngine(QHelpEngineCore *engine);

    QVariant loadResource(int type, const QUrl &name) override;

private:
    void followLink(const QUrl &url);

    QHelpEngineCore *m_engine = nullptr;
};

}  // namespace zandrel
