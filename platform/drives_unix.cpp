// Drives on Unix-like systems: the root folder and the mounted volumes a user browses.
#include "platform/file_system.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

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
    const QString home = QDir::homePath();
    if (home != QLatin1String("/"))
        list.append({home, QStringLiteral("~ kotikansio"), false});

    QList<Drive> volumes;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && userVolume(volume.rootPath()))
            volumes.append({volume.rootPath(), volume.displayName(), true});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Drive &a, const Drive &b) { return a.root < b.root; });
    return list + volumes;
}

bool volumeReady(const Drive &drive)
{
    if (!drive.removable)
        return true;
    // An unmounted volume leaves its empty mount folder behind, so the folder alone proves
    // nothing.
    const QStorageInfo storage(drive.root);
    return storage.isValid() && storage.isReady() && storage.rootPath() == drive.root;
}

bool folderReadable(const QString &folder)
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
