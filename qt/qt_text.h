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

}  // namespace zandrel
