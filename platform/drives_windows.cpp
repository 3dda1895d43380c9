// Drives on Windows: the drive letters, each with its volume's label.
#include "platform/file_system.h"

#include <QFileInfo>

#include <algorithm>

namespace zorvik::platform {

namespace {

// "C:/"; the volumes Windows lists may also be mounted on a folder of another drive, and such a
// folder is reached through its drive.
bool isDriveLetterRoot(const QString &root)
{
    return root.size() == 3 && root.at(0).isLetter() && root.at(1) == QLatin1Char(':') &&
           root.at(2) == QLatin1Char('/');
}

// "C: [Järjestelmä]" when the volume has a name, "C:" when it has none or no medium. Qt names a
// volume without a label after its root folder.
QString driveLabel(const Mount &volume)
{
    const QString letter = volume.root.left(2).toUpper();
    if (volume.name.isEmpty() || volume.name.compare(volume.root, Qt::CaseInsensitive) == 0 ||
        volume.name.compare(letter, Qt::CaseInsensitive) == 0)
        return letter;
    return QStringLiteral("%1 [%2]").arg(letter, volume.name);
}

} // namespace

QList<Drive> systemDrives()
{
    // Windows lists every drive letter as a volume, those without a medium included, so that
    // the user may pick an empty drive and be told so. Any letter may lose its medium or its
    // network share while the program runs.
    QList<Drive> list;
    for (const Mount &volume : mounts()) {
        if (isDriveLetterRoot(volume.root))
            list.append({volume.root, driveLabel(volume), true});
    }
    std::sort(list.begin(), list.end(), [](const Drive &a, const Drive &b) {
        return a.root.compare(b.root, Qt::CaseInsensitive) < 0;
    });
    return list;
}

bool volumeReady(const Drive &drive)
{
    // A drive letter stays while its medium or share is away; only its volume tells.
    return !drive.removable || mountedAt(drive.root);
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
