// Drives on Unix-like systems: the root folder and the mounted volumes a user browses.
#include "platform/file_system.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace zorvik::platform {

namespace {

// Where desktops mount the sticks, discs and shares a person plugs in or sets up; system
// mounts such as /proc or /boot are of no use for finding a picture.
bool userVolume(const QString &root)
{
    for (const char *place : {"/media/", "/mnt/", "/run/media/"}) {
        if (root.startsWith(QLatin1String(place)))
            return true;
    }
    return false;
}

} // namespace

QList<Drive> systemDrives()
{
    QList<Drive> list{{QStringLiteral("/"), QStringLiteral("/ (juuri)"), false}};
    // Build machines and services often name a home folder that does not exist.
    const QString home = QDir::homePath();
    if (home != QLatin1String("/") && QFileInfo(home).isDir())
        list.append({home, QStringLiteral("~ kotikansio"), false});

    QList<Drive> volumes;
    for (const Mount &mount : mounts()) {
        if (mount.ready && userVolume(mount.root))
            volumes.append({mount.root, mount.name, true});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Drive &a, const Drive &b) { return a.root < b.root; });
    return list + volumes;
}

bool volumeReady(const Drive &drive)
{
    // An unmounted volume leaves its empty mount folder behind, so the folder alone proves
    // nothing. Where the table does not list the folder's mount, as in a chroot that sees only
    // its own mounts, the volume counts as gone.
    return !drive.removable || mountedAt(drive.root);
}

bool systemFolderReadable(const QString &folder)
{
    // Listing needs read permission, and telling folders from files needs search permission.
    const QFileInfo info(folder);
    return info.isReadable() && info.isExecutable();
}

Qt::CaseSensitivity pathCase()
{
    return Qt::CaseSensitive;
}

} // namespace zorvik::platform
