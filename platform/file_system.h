#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Folders are passed around in Qt's form: absolute, cleaned, with "/" between names. Only what
// the user reads is turned into the platform's own form.

namespace zorvik::platform {

// The separator between a folder and a name on this platform.
QString separator();

// A folder followed by a name, with no second separator after a folder that ends in one.
QString composePath(const QString &folder, const QString &name);

// What a folder holds, or why it could not be read.
struct FolderListing {
    QStringList names; // sorted, without hidden entries
    QString error;     // a Finnish description naming the folder; empty when it was read
    bool ok() const { return error.isEmpty(); }
};

FolderListing listSubfolders(const QString &folder);
// The files of |folder| that match one of |patterns|, letter case aside.
FolderListing listFiles(const QString &folder, const QStringList &patterns);

// "*.jpeg;*.jpg;*.gif" as its separate patterns.
QStringList splitPattern(const QString &pattern);

// A place the user starts browsing from: a drive letter on Windows, the root folder, the home
// folder or a mounted volume elsewhere.
struct Drive {
    QString root;
    QString label;
    // A volume that can be unmounted or taken out while the program runs.
    bool removable = false;
};

// The drives of this computer, in the order the drive list shows them.
QList<Drive> drives();
// Whether a drive can be browsed now: it is still there and its root folder can be read.
bool driveReady(const Drive &drive);
// Tests put their own drives in place of the computer's; an empty source restores them.
void setDriveSource(std::function<QList<Drive>()> source);

// A file system mounted on a folder, as the mount table lists it.
struct Mount {
    QString root; // the folder it is mounted on, absolute and without symbolic links
    QString name; // its label, or its folder when it has none
    // Whether it answers; a network share whose server has gone does not.
    bool ready = true;
    QString type{}; // its kind of file system, such as "ext4", "nfs" or "proc"
    // What is mounted, as findmnt writes it: the device, with the subvolume in brackets where
    // one device holds several; the share for a network file system; a word such as "tmpfs"
    // for a file system that lives in memory.
    QString source{};
};

// What is mounted where. A removable drive is ready only while something is mounted on its
// root folder, since unmounting leaves the empty mount folder behind.
QList<Mount> mounts();
// Tests put their own mount table in place of the computer's, whose form depends on where the
// program runs (a container or chroot sees only part of it); an empty source restores it.
void setMountSource(std::function<QList<Mount>()> source);
// The ready mount whose root is |folder|, if any.
bool mountedAt(const QString &folder);

// Whether the entries of a folder may be read. Tests put their own check in place of the
// permissions, which do not bind the superuser; an empty check restores them.
bool folderReadable(const QString &folder);
void setReadableCheck(std::function<bool(const QString &folder)> check);

// Of |roots|, the one that holds |folder| most closely; the folder's topmost ancestor when none
// does.
QString driveRootOf(const QStringList &roots, const QString &folder);

// What the system has mounted, as Qt reads it.
QList<Mount> systemMounts();

// The platform part, in drives_unix.cpp or drives_windows.cpp.
QList<Drive> systemDrives();
bool volumeReady(const Drive &drive);
bool systemFolderReadable(const QString &folder);
Qt::CaseSensitivity pathCase();

} // namespace zorvik::platform
