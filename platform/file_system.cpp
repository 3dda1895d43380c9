#include "platform/file_system.h"

#include <QDir>

namespace zorvik::platform {

QString separator()
{
    return QString(QDir::separator());
}

QString composePath(const QString &folder, const QString &name)
{
    if (folder.endsWith(separator()))
        return folder + name;
    return folder + separator() + name;
}

} // namespace zorvik::platform
