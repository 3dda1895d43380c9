// Drives on Windows: the drive letters.
#include "platform/file_system.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace zorvik::platform {

namespace {

// "C: [Järjestelmä]" when the volume has a name, "C:" when it has none or no medium.
QString driveLabel(const QString &root)
{
    const QString letter = root.left(2).toUpper();
    const QStorageInfo storage(root);
    if (storage.isReady() && !storage.name().isEmpty())
        return QStringLiteral("%1 [%2]").arg(letter, storage.name());
    return letter;
}

} // namespace

QList<Drive> systemDrives()
{
    QList<Drive> list;
    for (const QFileInfo &drive : QDir::drives()) {
        const QString root = drive.absoluteFilePath();
        // Any drive letter may lose its medium or its network share.
        list.append({root, driveLabel(root), true});
    }
    return list;
}

bool volumeReady(const Drive &drive)
{
    // A drive letter stays while its medium or share is away; only the volume tells.
    return QStorageInfo(drive.root).isReady();
}

bool systemFolderReadable(const QString &folder)
{
    return QFileInfo(folder).isReadable();
}

Qt::CaseSensitivity pathCase()
{
    return Qt::CaseInsensitive;
}

} // namespace zorvik::platform
