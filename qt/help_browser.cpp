#include "qt/help_browser.h"

#include <QDesktopServices>
#include <QHelpEngineCore>

namespace zandrel {

namespace {

const QString HelpScheme = QStringLiteral("qthelp");

}  // namespace

HelpBrowser::HelpBrowser(QWidget *parent)
    : QTextBrowser(parent)
{
    // QTextBrowser would hand every link with a scheme other than file: to the
    // desktop, the help's own pages included; so links are sorted here.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

void HelpBrowser::setHelpEngine(QHelpEngineCore *engine)
{
    m_engine = engine;
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    Q_UNUSED(type);
    // Only the help document is read: nothing a page names on disk or on the
    // network is ever loaded into the viewer.
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (url.scheme() != HelpScheme || !m_engine)
        return {};
    return m_engine->fileData(url);
}

void HelpBrowser::followLink(const QUrl &url)
{
    if (url.scheme() == HelpScheme) {
        setSource(url);
        return;
    }
    // The web page goes to the user's browser, like every other network use.
    if (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http") ||
        url.scheme() == QLatin1String("mailto"))
        QDesktopServices::openUrl(url);
}

}  // namespace zandrel
