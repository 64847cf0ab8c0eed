#include "qt/help_document.h"

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

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// One query's rows, or false with the database's reason.
bool run(QSqlQuery &query, const QString &statement, const QVariantList &values, QString &error)
{
    query.setForwardOnly(true);
    if (!query.prepare(statement)) {
        error = query.lastError().text();
        return false;
    }
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        error = query.lastError().text();
        return false;
    }
    return true;
}

}  // namespace

bool HelpDocument::load(const QString &path, QString &error)
{
    *this = HelpDocument();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        error = tr("The help cannot be read: Qt's SQLite driver (qsqlite) is missing.");
        return false;
    }
    // Each load has a connection of its own, gone before it returns.
    static std::atomic<int> loads{0};
    const QString connection = QStringLiteral("zandrel-help-%1").arg(++loads);
    QString reason;
    bool read = false;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        database.setDatabaseName(path);
        if (database.open()) {
            QSqlQuery query(database);
            read = readNamespace(query, reason) && readFiles(query, reason) && readMetaData(query, reason) &&
                   readContents(query, reason) && readKeywords(query, reason);
        } else {
            reason = database.lastError().text();
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(connection);

    if (read && !m_files.contains(m_startPage.path()))
        reason = tr("it has no start page");
    if (!read || !reason.isEmpty()) {
        *this = HelpDocument();
        error = tr("%1 is not a help document, or it is damaged: %2").arg(shown(path), reason);
        return false;
    }
    return true;
}

bool HelpDocument::readNamespace(QSqlQuery &query, QString &error)
{
    if (!run(query, QStringLiteral("SELECT Id, Name FROM NamespaceTable ORDER BY Id"), {}, error))
        return false;
    if (!query.next() || query.value(1).toString().isEmpty()) {
        error = tr("it names no namespace");
        return false;
    }
    m_namespaceId = query.value(0).toLongLong();
    // URLs keep their host in lower case, so the namespace is kept that way.
    m_namespace = query.value(1).toString().toLower();
    if (!run(query, QStringLiteral("SELECT Name FROM FolderTable WHERE NamespaceID = ? ORDER BY Id"),
             {m_namespaceId}, error))
        return false;
    if (!query.next() || query.value(0).toString().isEmpty()) {
        error = tr("it has no folder");
        return false;
    }
    m_folder = query.value(0).toString();
    return true;
}

bool HelpDocument::readFiles(QSqlQuery &query, QString &error)
{
    const QString files = QStringLiteral(
        "SELECT n.FileId, n.Name, d.Data FROM FileNameTable n"
        " JOIN FolderTable f ON f.Id = n.FolderId JOIN FileDataTable d ON d.Id = n.FileId"
        " WHERE f.Name = ? AND f.NamespaceID = ?");
    if (!run(query, files, {m_folder, m_namespaceId}, error))
        return false;
    while (query.next()) {
        const QUrl url = pageUrl(query.value(1).toString());
        m_files.insert(url.path(), query.value(2).toByteArray());
        m_fileUrls.insert(query.value(0).toLongLong(), url);
    }
    return true;
}

bool HelpDocument::readMetaData(QSqlQuery &query, QString &error)
{
    if (!run(query, QStringLiteral("SELECT Name, Value FROM MetaDataTable"), {}, error))
        return false;
    while (query.next()) {
        const QString name = query.value(0).toString();
        if (name == QLatin1String("title"))
            m_title = query.value(1).toString();
        else if (name == QLatin1String("defaultTopic"))
            m_startPage = pageUrl(query.value(1).toString());
    }
    return true;
}

bool HelpDocument::readContents(QSqlQuery &query, QString &error)
{
    if (!run(query, QStringLiteral("SELECT Data FROM ContentsTable WHERE NamespaceId = ? ORDER BY Id"),
             {m_namespaceId}, error))
        return false;
    // Each row holds a run of topics in document order, each as its depth,
    // its page and its title, in Qt's data stream format.
    while (query.next()) {
        QDataStream stream(query.value(0).toByteArray());
        while (!stream.atEnd()) {
            qint32 depth = 0;
            QString page;
            QString title;
            stream >> depth >> page >> title;
            if (stream.status() != QDataStream::Ok || depth < 0) {
                error = tr("its table of contents cannot be read");
                return false;
            }
            m_contents.append({depth, title, pageUrl(page)});
        }
    }
    return true;
}

bool HelpDocument::readKeywords(QSqlQuery &query, QString &error)
{
    if (!run(query, QStringLiteral("SELECT Name, FileId, Anchor FROM IndexTable WHERE NamespaceId = ?"),
             {m_namespaceId}, error))
        return false;
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
    return true;
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
