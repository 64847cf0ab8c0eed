#pragma once
// The compiled help as the viewer shows it. Qt's help generator writes the
// help's pages, contents and keywords into one SQLite file (.qch); this reads
// that file through Qt SQL, whole, when it is opened, and lets go of it at
// once, so the file can be deleted while the viewer is still showing it.
//
// It is read here rather than through Qt's help engine because the Windows
// program is built against a Qt of our own making that carries no help
// engine; Qt SQL and its SQLite driver are in both, so the help reads the
// same way everywhere. Only one namespace and one virtual folder are read:
// the help is ours, compiled from help/document/zandrel.qhp.
//
// Pages are named by URLs of the form qthelp://<namespace>/<folder>/<file>,
// as the help engine names them, so links between pages resolve as usual.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>

class QSqlQuery;

namespace zandrel {

class HelpDocument {
public:
    // One line of the table of contents; a topic is inside the nearest one
    // above it with a smaller depth.
    struct Topic {
        int depth = 0;
        QString title;
        QUrl page;
    };
    // One entry of the keyword index.
    struct Keyword {
        QString keyword;
        QUrl page;
    };

    static inline const QString Scheme = QStringLiteral("qthelp");

    // Reads the help file at `path`. Throws Failure, naming the file and
    // saying why, when it cannot be read or is not a help document with a
    // start page; the document is then empty.
    void load(const QString &path);

    QString title() const { return m_title; }
    QUrl startPage() const { return m_startPage; }
    const QList<Topic> &contents() const { return m_contents; }
    const QList<Keyword> &keywords() const { return m_keywords; }
    // The bytes of the page or picture at `url`; empty for anything the
    // document does not carry.
    QByteArray fileData(const QUrl &url) const;

private:
    void readNamespace(QSqlQuery &query);
    void readFiles(QSqlQuery &query);
    void readMetaData(QSqlQuery &query);
    void readContents(QSqlQuery &query);
    void readKeywords(QSqlQuery &query);
    // The URL of `file`, a name inside the document's folder.
    QUrl pageUrl(const QString &file) const;

    qint64 m_namespaceId = 0;
    QString m_namespace;
    QString m_folder;
    QString m_title;
    QUrl m_startPage;
    QList<Topic> m_contents;
    QList<Keyword> m_keywords;
    // By URL path ("/folder/file"): the file's bytes as stored, compressed.
    QHash<QString, QByteArray> m_files;
    // The files' URLs by their numbers, which the keyword index refers to.
    QHash<qint64, QUrl> m_fileUrls;
};

}  // namespace zandrel
