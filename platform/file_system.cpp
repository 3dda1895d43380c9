#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace zorvik::platform {

namespace {

std::function<QList<Drive>()> &driveSource()
{
    static std::function<QList<Drive>()> source;
    return source;
}

std::function<QList<Mount>()> &mountSource()
{
    static std::function<QList<Mount>()> source;
    return source;
}

std::function<bool(const QString &)> &readableCheck()
{
    static std::function<bool(const QString &)> check;
    return check;
}

QString folderProblem(const QString &folder)
{
    const QFileInfo info(folder);
    const QString shown = QDir::toNativeSeparators(folder);
    if (!info.exists())
        return QStringLiteral("Kansiota ei löydy:\n%1").arg(shown);
    if (!info.isDir())
        return QStringLiteral("Tämä ei ole kansio:\n%1").arg(shown);
    if (!folderReadable(folder))
        return QStringLiteral("Kansiota ei voi lukea:\n%1").arg(shown);
    return {};
}

FolderListing list(const QString &folder, const QStringList &patterns, QDir::Filters kind)
{
    const QString problem = folderProblem(folder);
    if (!problem.isEmpty())
        return {{}, problem};
    // Without QDir::CaseSensitive the patterns match whatever the letter case.
    const QDir dir(folder);
    return {dir.entryList(patterns, kind | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase),
            {}};
}

bool holds(const QString &root, const QString &folder)
{
    if (folder.compare(root, pathCase()) == 0)
        return true;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return folder.startsWith(prefix, pathCase());
}

} // namespace

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

FolderListing listSubfolders(const QString &folder)
{
    return list(folder, {}, QDir::Dirs);
}

FolderListing listFiles(const QString &folder, const QStringList &patterns)
{
    return list(folder, patterns, QDir::Files);
}

QStringList splitPattern(const QString &pattern)
{
    return pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

QList<Drive> drives()
{
    return driveSource() ? driveSource()() : systemDrives();
}

bool driveReady(const Drive &drive)
{
    return QFileInfo(drive.root).isDir() && folderReadable(drive.root) && volumeReady(drive);
}

void setDriveSource(std::function<QList<Drive>()> source)
{
    driveSource() = std::move(source);
}

// Qt reads the mount table the same way on every platform.
QList<Mount> systemMounts()
{
    QList<Mount> table;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        QString source = QFile::decodeName(volume.device());
        if (!volume.subvolume().isEmpty())
            source += QLatin1Char('[') + QFile::decodeName(volume.subvolume()) + QLatin1Char(']');
        table.append({volume.rootPath(), volume.displayName(), volume.isValid() && volume.isReady(),
                      QString::fromLatin1(volume.fileSystemType()), source});
    }
    return table;
}

QList<Mount> mounts()
{
    return mountSource() ? mountSource()() : systemMounts();
}

void setMountSource(std::function<QList<Mount>()> source)
{
    mountSource() = std::move(source);
}

bool mountedAt(const QString &folder)
{
    // The mount table names folders without symbolic links.
    const QString real = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty())
        return false;
    const QList<Mount> table = mounts();
    return std::any_of(table.cbegin(), table.cend(), [&](const Mount &mount) {
        return mount.ready && mount.root.compare(real, pathCase()) == 0;
    });
}

bool folderReadable(const QString &folder)
{
    return readableCheck() ? readableCheck()(folder) : systemFolderReadable(folder);
}

void setReadableCheck(std::function<bool(const QString &folder)> check)
{
    readableCheck() = std::move(check);
}

QString driveRootOf(const QStringList &roots, const QString &folder)
{
    QString best;
    for (const QString &root : roots) {
        if (holds(root, folder) && root.size() > best.size())
            best = root;
    }
    if (!best.isEmpty())
        return best;
    QDir top(folder);
    while (top.cdUp()) {
    }
    return top.absolutePath();
}

} // namespace zorvik::platform
