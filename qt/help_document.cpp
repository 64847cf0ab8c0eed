#include "qt/help_document.h"

#include "platform/failure.h"
#include "qt/qt_text.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <atomic>

namespace zandrel {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("HelpDocument", text);
}

// What is wrong with the document; load names the file.
[[noreturn]] void damaged(const QString &reason)
{
    throw Failure(FailureNumber::PathFileAccess, reason.toStdString());
}

// One query's rows; throws with the database's reason.
void run(QSqlQuery &query, const QString &statement, const QVariantList &values = {})
{
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        damaged(query.lastError().text());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        damaged(query.lastError().text());
}

}  // namespace

void HelpDocument::load(const QString &path)
{
    *this = HelpDocument();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        throw Failure(FailureNumber::PathFileAccess,
                      tr("The help cannot be read: Qt's SQLite driver (qsqlite) is missing.").toStdString());
    // Each load has a connection of its own, gone before it returns.
    static std::atomic<int> loads{0};
    const QString connection = QStringLiteral("zandrel-help-%1").arg(++loads);
    QString reason;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        database.setDatabaseName(path);
        try {
            if (!database.open())
                damaged(database.lastError().text());
            QSqlQuery query(database);
            readNamespace(query);
            readFiles(query);
            readMetaData(query);
            readContents(query);
            readKeywords(query);
            if (!m_files.contains(m_startPage.path()))
                damaged(tr("it has no start page"));
        } catch (const Failure &failure) {
            reason = QString::fromStdString(failure.description());
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!reason.isEmpty()) {
        *this = HelpDocument();
        throw Failure(FailureNumber::PathFileAccess,
                      tr("%1 is not a help document, or it is damaged: %2").arg(shown(path), reason).toStdString());
    }
}

void HelpDocument::readNamespace(QSqlQuery &query)
{
    run(query, QStringLiteral("SELECT Id, Name FROM NamespaceTable ORDER BY Id"), {});
    if (!query.next() || query.value(1).toString().isEmpty())
        damaged(tr("it names no namespace"));
    m_namespaceId = query.value(0).toLongLong();
    // URLs keep their host in lower case, so the namespace is kept that way.
    m_namespace = query.value(1).toString().toLower();
    run(query, QStringLiteral("SELECT Name FROM FolderTable WHERE NamespaceID = ? ORDER BY Id"),
             {m_namespaceId});
    if (!query.next() || query.value(0).toString().isEmpty())
        damaged(tr("it has no folder"));
    m_folder = query.value(0).toString();
}

void HelpDocument::readFiles(QSqlQuery &query)
{
    const QString files = QStringLiteral(
        "SELECT n.FileId, n.Name, d.Data FROM FileNameTable n"
        " JOIN FolderTable f ON f.Id = n.FolderId JOIN FileDataTable d ON d.Id = n.FileId"
        " WHERE f.Name = ? AND f.NamespaceID = ?");
    run(query, files, {m_folder, m_namespaceId});
    while (query.next()) {
        const QUrl url = pageUrl(query.value(1).toString());
        m_files.insert(url.path(), query.value(2).toByteArray());
        m_fileUrls.insert(query.value(0).toLongLong(), url);
    }
}

void HelpDocument::readMetaData(QSqlQuery &query)
{
    run(query, QStringLiteral("SELECT Name, Value FROM MetaDataTable"), {});
    while (query.next()) {
        const QString name = query.value(0).toString();
        if (name == QLatin1String("title"))
            m_title = query.value(1).toString();
        else if (name == QLatin1String("defaultTopic"))
            m_startPage = pageUrl(query.value(1).toString());
    }
}

void HelpDocument::readContents(QSqlQuery &query)
{
    run(query, QStringLiteral("SELECT Data FROM ContentsTable WHERE NamespaceId = ? ORDER BY Id"),
             {m_namespaceId});
    // Each row holds a run of topics in document order, each as its depth,
    // its page and its title, in Qt's data stream format.
    while (query.next()) {
        QDataStream stream(query.value(0).toByteArray());
        while (!stream.atEnd()) {
            qint32 depth = 0;
            QString page;
            QString title;
            stream >> depth >> page >> title;
            if (stream.status() != QDataStream::Ok || depth < 0)
                damaged(tr("its table of contents cannot be read"));
            m_contents.append({depth, title, pageUrl(page)});
        }
    }
}

void HelpDocument::readKeywords(QSqlQuery &query)
{
    run(query, QStringLiteral("SELECT Name, FileId, Anchor FROM IndexTable WHERE NamespaceId = ?"),
             {m_namespaceId});
    while (query.next()) {
        QUrl page = m_fileUrls.value(query.value(1).toLongLong());
        if (page.isEmpty())
            continue;
        if (const QString anchor = query.value(2).toString(); !anchor.isEmpty())
            page.setFragment(anchor);
        m_keywords.append({query.value(0).toString(), page});
    }
    // As an index is read: alphabetically, whatever the case.
    std::stable_sort(m_keywords.begin(), m_keywords.end(), [](const Keyword &a, const Keyword &b) {
        return a.keyword.compare(b.keyword, Qt::CaseInsensitive) < 0;
    });
}

QUrl HelpDocument::pageUrl(const QString &file) const
{
    // A reference may carry an anchor after the file's name.
    QUrl url(QStringLiteral("%1://%2/%3/%4").arg(Scheme, m_namespace, m_folder, file));
    url.setPath(QDir::cleanPath(url.path()));
    return url;
}

QByteArray HelpDocument::fileData(const QUrl &url) const
{
    if (url.scheme() != Scheme || url.host() != m_namespace)
        return {};
    const auto stored = m_files.constFind(QDir::cleanPath(url.path()));
    return stored == m_files.cend() ? QByteArray() : qUncompress(*stored);
}

}  // namespace zandrel
