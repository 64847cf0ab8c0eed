#include "qt/help_browser.h"

#include "qt/help_document.h"

#include <QDesktopServices>

namespace zandrel {

HelpBrowser::HelpBrowser(QWidget *parent)
    : QTextBrowser(parent)
{
    // QTextBrowser would hand every link with a scheme other than file: to the
    // desktop, the help's own pages included; so links are sorted here.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

void HelpBrowser::setDocument(const HelpDocument *document)
{
    m_document = document;
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    Q_UNUSED(type);
    // Only the help document is read: nothing a page names on disk or on the
    // network is ever loaded into the viewer.
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (!m_document)
        return {};
    const QByteArray bytes = m_document->fileData(url);
    return bytes.isEmpty() ? QVariant() : QVariant(bytes);
}

void HelpBrowser::followLink(const QUrl &url)
{
    if (url.scheme() == HelpDocument::Scheme) {
        setSource(url);
        return;
    }
    // The web page goes to the user's browser, like every other network use.
    if (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http") ||
        url.scheme() == QLatin1String("mailto"))
        QDesktopServices::openUrl(url);
}

}  // namespace zandrel
