#pragma once
// Text between Qt and the rest of the program, which speaks UTF-8, and paths
// as the system writes them, and so as messages name them.

#include <QDir>
#include <QString>

#include <string>

namespace zandrel {

inline QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

inline QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

inline std::string nativePath(const QString &path)
{
    return shown(path).toStdString();
}

#ifdef Q_OS_WIN
// The text as Windows' wide-character calls take it, valid while `text` is.
inline const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}
#endif

}  // namespace zandrel
