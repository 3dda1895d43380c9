// Drives on Unix-like systems: the root folder and the mounted volumes a user browses.
#include "platform/file_system.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace zorvik::platform {

namespace {

bool inside(const QString &place, const QString &folder)
{
    return folder == place || folder.startsWith(place + QLatin1Char('/'));
}

// The kernel's views of itself, and the read-only images that snaps and containers run from:
// none of them holds anyone's pictures.
bool systemFileSystem(const QString &type)
{
    static const QStringList kinds{
        QStringLiteral("autofs"),     QStringLiteral("binfmt_misc"), QStringLiteral("bpf"),
        QStringLiteral("cgroup"),     QStringLiteral("cgroup2"),     QStringLiteral("configfs"),
        QStringLiteral("debugfs"),    QStringLiteral("devpts"),      QStringLiteral("devtmpfs"),
        QStringLiteral("efivarfs"),   QStringLiteral("fusectl"),     QStringLiteral("hugetlbfs"),
        QStringLiteral("mqueue"),     QStringLiteral("nsfs"),        QStringLiteral("overlay"),
        QStringLiteral("proc"),       QStringLiteral("pstore"),      QStringLiteral("rpc_pipefs"),
        QStringLiteral("securityfs"), QStringLiteral("squashfs"),    QStringLiteral("sysfs"),
        QStringLiteral("tracefs")};
    return kinds.contains(type);
}

// Folders where the system mounts what it needs for itself. The desktop mounts the sticks and
// discs a person plugs in under /run/media, though.
bool systemPlace(const QString &root)
{
    if (inside(QStringLiteral("/run/media"), root))
        return false;
    for (const char *place : {"/proc", "/sys", "/dev", "/run", "/boot", "/efi", "/snap"}) {
        if (inside(QLatin1String(place), root))
            return true;
    }
    return false;
}

// "tmpfs" or "none" is the source of many unrelated mounts; a device or a share is one volume.
bool namesAVolume(const QString &source)
{
    return source.contains(QLatin1Char('/'));
}

} // namespace

QList<Drive> systemDrives()
{
    QList<Drive> list{{QStringLiteral("/"), QStringLiteral("/ (juuri)"), false}};
    // Build machines and services often name a home folder that does not exist.
    const QString home = QDir::homePath();
    QString realHome;
    if (home != QLatin1String("/") && QFileInfo(home).isDir()) {
        list.append({home, QStringLiteral("~ kotikansio"), false});
        // The mount table names folders without symbolic links.
        realHome = QFileInfo(home).canonicalFilePath();
    }
    const auto listedAlready = [&](const QString &root) {
        return root == QLatin1String("/") || root == realHome;
    };

    // A volume mounted a second time, as by a bind mount of one of its folders, shows nothing
    // new: only its first mount, the one the table lists first, is listed.
    const QList<Mount> table = mounts();
    QSet<QString> shown;
    for (const Mount &mount : table) {
        if (listedAlready(mount.root))
            shown.insert(mount.source);
    }
    QList<Drive> volumes;
    for (const Mount &mount : table) {
        if (!mount.ready || listedAlready(mount.root) || systemPlace(mount.root) ||
            systemFileSystem(mount.type) || !folderReadable(mount.root))
            continue;
        // A folder mounted on twice is listed once.
        const auto sameRoot = [&](const Drive &d) { return d.root == mount.root; };
        if (std::any_of(volumes.cbegin(), volumes.cend(), sameRoot))
            continue;
        if (namesAVolume(mount.source)) {
            if (shown.contains(mount.source))
                continue;
            shown.insert(mount.source);
        }
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
