#include "qt/windows_registry.h"

#include <QSettings>
#include <QString>

namespace zandrel {

std::optional<std::string> WindowsRegistry::read(const std::string &valuePath) const
{
    // "HKLM\Key\Path\Value": QSettings opens the key and reads the value by name.
    QString path = QString::fromStdString(valuePath);
    if (path.startsWith(QLatin1String("HKLM\\")))
        path.replace(0, 4, QStringLiteral("HKEY_LOCAL_MACHINE"));
    const qsizetype split = path.lastIndexOf(QLatin1Char('\\'));
    if (split < 0)
        return std::nullopt;
    const QSettings key(path.left(split), QSettings::NativeFormat);
    const QVariant value = key.value(path.mid(split + 1));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toStdString();
}

}  // namespace zandrel
