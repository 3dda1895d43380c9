#include "platform/file_system.h"
#include "tests/touch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace zorvik::platform;

using zorvik::test::hideDotName;
using zorvik::test::touch;

namespace {

const QStringList picturePatterns{QStringLiteral("*.jpeg"), QStringLiteral("*.jpg"),
                                  QStringLiteral("*.gif")};

QString realPath(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

// The mount table is Unix's; Windows lists its drive letters instead.
#ifdef Q_OS_UNIX
QStringList rootsOf(const QList<Drive> &list)
{
    QStringList roots;
    for (const Drive &drive : list)
        roots.append(drive.root);
    return roots;
}

// The folders the kernel lists as mount points, with its octal escapes ("\040" for a space)
// undone; none when the table cannot be read, or when it leaves out the root folder, as it does
// in a chroot, whose own root is no mount point of the table.
std::optional<QSet<QString>> kernelMountPoints()
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QSet<QString> points;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5)
            continue;
        const QByteArray &escaped = fields.at(4);
        QByteArray point;
        for (qsizetype i = 0; i < escaped.size(); ++i) {
            if (escaped.at(i) == '\\' && i + 3 < escaped.size()) {
                point.append(char(escaped.mid(i + 1, 3).toInt(nullptr, 8)));
                i += 3;
            } else {
                point.append(escaped.at(i));
            }
        }
        points.insert(QFile::decodeName(point));
    }
    if (!points.contains(QStringLiteral("/")))
        return std::nullopt;
    return points;
}

// Mounts written one a line as "folder type source [label]"; the label is the folder when
// there is none, as Qt names a volume without a label.
QList<Mount> mountTable(const QString &text)
{
    QList<Mount> table;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() < 3)
            continue;
        table.append(
            {fields.at(0), fields.value(3, fields.at(0)), true, fields.at(1), fields.at(2)});
    }
    return table;
}
#endif

} // namespace

class TestFileSystem : public QObject {
    Q_OBJECT

    QByteArray m_home;

private slots:
    void initTestCase() { m_home = qgetenv("HOME"); }

    void cleanup()
    {
        setDriveSource({});
        setMountSource({});
        setReadableCheck({});
        qputenv("HOME", m_home);
    }

    void pathAtARootHasOneSeparator()
    {
        QCOMPARE(composePath(separator(), QStringLiteral("pic.gif")),
                 separator() + QStringLiteral("pic.gif"));
        const QString driveRoot = QStringLiteral("C:") + separator();
        QCOMPARE(composePath(driveRoot, QStringLiteral("pic.gif")),
                 driveRoot + QStringLiteral("pic.gif"));
    }

    void pathInASubfolderGetsASeparator()
    {
        const QString maps = QDir::toNativeSeparators(QStringLiteral("/kuvat/maps"));
        QCOMPARE(composePath(maps, QStringLiteral("a.jpg")),
                 QDir::toNativeSeparators(QStringLiteral("/kuvat/maps/a.jpg")));
    }

    void pathWithoutANameEndsInTheSeparator()
    {
        const QString maps = QDir::toNativeSeparators(QStringLiteral("/kuvat/maps"));
        QCOMPARE(composePath(maps, QString()), maps + separator());
        QCOMPARE(composePath(separator(), QString()), separator());
    }

    void patternSplitsAtSemicolons()
    {
        QCOMPARE(splitPattern(QStringLiteral("*.jpeg;*.jpg;*.gif")), picturePatterns);
        QCOMPARE(splitPattern(QStringLiteral("*.png;")), QStringList{QStringLiteral("*.png")});
    }

    void picturesAreListedWhateverTheirLetterCase()
    {
        QTemporaryDir dir;
        for (const char *name : {"x.jpg", "y.jpeg", "z.gif", "Z.GIF", "KUVA.JPG", "w.png", "v.bmp",
                                 "jpg", "kuva.jpg.txt", ".piilo.jpg"})
            touch(dir.filePath(QLatin1String(name)));
        hideDotName(dir.filePath(QStringLiteral(".piilo.jpg")));
        QDir(dir.path()).mkdir(QStringLiteral("kansio.jpg"));

        const FolderListing files = listFiles(dir.path(), picturePatterns);
        QVERIFY(files.ok());
        QStringList expected{QStringLiteral("KUVA.JPG"), QStringLiteral("x.jpg"),
                             QStringLiteral("y.jpeg"), QStringLiteral("z.gif")};
        // Where names ignore letter case, as on Windows, "Z.GIF" is the file z.gif once more.
        if (pathCase() == Qt::CaseSensitive)
            expected.append(QStringLiteral("Z.GIF"));
        QCOMPARE(files.names, expected);
    }

    void subfoldersAreListedSortedWithoutFiles()
    {
        QTemporaryDir dir;
        QDir folder(dir.path());
        for (const char *name : {"talvi", "Kesä", "arkisto", ".piilo"})
            folder.mkdir(QString::fromUtf8(name));
        hideDotName(dir.filePath(QStringLiteral(".piilo")));
        touch(dir.filePath(QStringLiteral("kartta.jpg")));

        const FolderListing subfolders = listSubfolders(dir.path());
        QVERIFY(subfolders.ok());
        QCOMPARE(subfolders.names, (QStringList{QStringLiteral("arkisto"), QStringLiteral("Kesä"),
                                                QStringLiteral("talvi")}));
    }

    void folderThatIsNotThereIsAnErrorNamingIt()
    {
        QTemporaryDir dir;
        const QString gone = dir.filePath(QStringLiteral("poistettu"));
        for (const FolderListing &listing :
             {listSubfolders(gone), listFiles(gone, picturePatterns)}) {
            QVERIFY(!listing.ok());
            QVERIFY(listing.names.isEmpty());
            QVERIFY2(listing.error.contains(QDir::toNativeSeparators(gone)),
                     qPrintable(listing.error));
        }
    }

    void fileIsNotAFolder()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("kartta.jpg"));
        touch(file);
        const FolderListing listing = listSubfolders(file);
        QVERIFY(!listing.ok());
        QVERIFY(listing.error.contains(QDir::toNativeSeparators(file)));
    }

    void unreadableFolderIsAnError()
    {
        QTemporaryDir dir;
        const QString locked = dir.filePath(QStringLiteral("lukittu"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("lukittu")));
        setReadableCheck([&](const QString &folder) { return folder != locked; });

        for (const FolderListing &listing :
             {listSubfolders(locked), listFiles(locked, picturePatterns)}) {
            QVERIFY(!listing.ok());
            QVERIFY(listing.names.isEmpty());
            QCOMPARE(listing.error,
                     QStringLiteral("Kansiota ei voi lukea:\n") + QDir::toNativeSeparators(locked));
        }
        // Its parent can still be read, and lists it.
        const FolderListing parent = listSubfolders(dir.path());
        QVERIFY(parent.ok());
        QCOMPARE(parent.names, QStringList{QStringLiteral("lukittu")});
        // A drive whose root cannot be read cannot be browsed.
        QVERIFY(!driveReady({locked, QStringLiteral("LUKITTU"), false}));
        QVERIFY(driveReady({dir.path(), QStringLiteral("AUKI"), false}));
    }

#ifdef Q_OS_UNIX
    void lockedFolderFollowsThePermissions()
    {
        QTemporaryDir dir;
        const QString locked = dir.filePath(QStringLiteral("lukittu"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("lukittu")));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        // The superuser may read it all the same, and then the folder lists as empty.
        const bool allowed = access(QFile::encodeName(locked).constData(), R_OK | X_OK) == 0;
        const FolderListing listing = listFiles(locked, picturePatterns);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        QCOMPARE(listing.ok(), allowed);
        QVERIFY(listing.names.isEmpty());
        if (!allowed)
            QVERIFY2(listing.error.startsWith(QStringLiteral("Kansiota ei voi lukea")),
                     qPrintable(listing.error));
    }
#endif

    void folderBelongsToTheClosestDrive()
    {
        const QStringList roots{QStringLiteral("/"), QStringLiteral("/home/anna"),
                                QStringLiteral("/media/anna/KUVAT")};
        QCOMPARE(driveRootOf(roots, QStringLiteral("/home/anna/kuvat")),
                 QStringLiteral("/home/anna"));
        QCOMPARE(driveRootOf(roots, QStringLiteral("/home/anna")), QStringLiteral("/home/anna"));
        QCOMPARE(driveRootOf(roots, QStringLiteral("/home/annalisa")), QStringLiteral("/"));
        QCOMPARE(driveRootOf(roots, QStringLiteral("/media/anna/KUVAT/2024")),
                 QStringLiteral("/media/anna/KUVAT"));
        QCOMPARE(driveRootOf(roots, QStringLiteral("/")), QStringLiteral("/"));
    }

    void folderOnNoListedDriveBelongsToItsTopFolder()
    {
        QTemporaryDir dir;
        QCOMPARE(driveRootOf({}, dir.path()), QDir(dir.path()).rootPath());
    }

    void computerHasDrivesToBrowse()
    {
        QTemporaryDir home;
        qputenv("HOME", QFile::encodeName(home.path()));
        const QList<Drive> list = drives();
        QVERIFY(!list.isEmpty());
        for (const Drive &drive : list) {
            QVERIFY(!drive.label.isEmpty());
            QVERIFY(QDir::isAbsolutePath(drive.root));
        }
#ifdef Q_OS_UNIX
        QCOMPARE(list.first().root, QStringLiteral("/"));
        QCOMPARE(list.first().label, QStringLiteral("/ (juuri)"));
        QVERIFY(driveReady(list.first()));
        QVERIFY(list.size() >= 2);
        QCOMPARE(list.at(1).root, QDir::homePath());
        QCOMPARE(list.at(1).label, QStringLiteral("~ kotikansio"));
        QVERIFY(driveReady(list.at(1)));
        for (const Drive &volume : list.mid(2))
            QVERIFY2(volume.removable, qPrintable(volume.root));
#endif
    }

#ifdef Q_OS_UNIX
    void volumesOfTheMountTableFollowTheHomeFolder()
    {
        QTemporaryDir home;
        qputenv("HOME", QFile::encodeName(home.path()));
        // As the kernel lists them, in the order they were mounted: folder, file system, source,
        // and the label where the volume has one.
        QList<Mount> table = mountTable(QStringLiteral(R"(
            /                          ext4      /dev/sda1
            /proc                      proc      proc
            /sys                       sysfs     sysfs
            /sys/fs/cgroup             cgroup2   cgroup2
            /dev                       devtmpfs  udev
            /dev/shm                   tmpfs     tmpfs
            /run                       tmpfs     tmpfs
            /run/user/1000             tmpfs     tmpfs
            /run/media/anna/LEVY       vfat      /dev/sdc1            LEVY
            /boot                      ext4      /dev/sda2
            /data                      ext4      /dev/sda3
            /home                      btrfs     /dev/sda4[/@home]
            /media/anna/KUVAT          vfat      /dev/sdb1            KUVAT
            /mediat                    ext4      /dev/sdb2
            /snap/core22/1033          squashfs  /dev/loop0
            /var/lib/docker/x/merged   overlay   overlay
            /srv/arkisto               ext4      /dev/sda3
            /srv/juuresta              ext4      /dev/sda1
            /srv/lukittu               ext4      /dev/sdd1
            /mnt/verkko                nfs       palvelin:/kuvat
        )"));
        table.last().ready = false;
        setMountSource([&] { return table; });
        setReadableCheck(
            [](const QString &folder) { return !folder.endsWith(QStringLiteral("lukittu")); });

        const QList<Drive> list = drives();
        QCOMPARE(rootsOf(list),
                 (QStringList{QStringLiteral("/"), home.path(), QStringLiteral("/data"),
                              QStringLiteral("/home"), QStringLiteral("/media/anna/KUVAT"),
                              QStringLiteral("/mediat"), QStringLiteral("/run/media/anna/LEVY")}));
        QCOMPARE(list.at(4).label, QStringLiteral("KUVAT"));
        QCOMPARE(list.at(2).label, QStringLiteral("/data"));
        QVERIFY(!list.at(0).removable && !list.at(1).removable);
        for (const Drive &volume : list.mid(2))
            QVERIFY2(volume.removable, qPrintable(volume.root));

        // A home folder that is a volume of its own is listed once, and its binds not at all.
        table.append(mountTable(QStringLiteral("%1 ext4 /dev/sde1\n/srv/koti ext4 /dev/sde1")
                                    .arg(QFileInfo(home.path()).canonicalFilePath())));
        QCOMPARE(drives().size(), list.size());
    }

    void homeFolderThatIsNotThereIsNoDrive()
    {
        setMountSource([] {
            return QList<Mount>{{QStringLiteral("/"), QStringLiteral("/dev/sda1")}};
        });
        QTemporaryDir dir;
        qputenv("HOME", QFile::encodeName(dir.filePath(QStringLiteral("poissa"))));
        QCOMPARE(rootsOf(drives()), QStringList{QStringLiteral("/")});
        qputenv("HOME", "/");
        QCOMPARE(rootsOf(drives()), QStringList{QStringLiteral("/")});
    }
#endif

    void drivesCanBeReplacedAndGoAway()
    {
        QTemporaryDir dir;
        const QString stick = dir.filePath(QStringLiteral("tikku"));
        QDir(dir.path()).mkdir(QStringLiteral("tikku"));
        const Drive drive{stick, QStringLiteral("TIKKU"), false};
        setDriveSource([&] { return QList<Drive>{drive}; });
        QCOMPARE(drives().size(), 1);
        QCOMPARE(drives().first().label, QStringLiteral("TIKKU"));

        QVERIFY(driveReady(drive));
        QVERIFY(QDir(stick).removeRecursively());
        QVERIFY(!driveReady(drive));

        setDriveSource({});
        QVERIFY(drives().size() != 1 || drives().first().label != QStringLiteral("TIKKU"));
    }

    void removableDriveIsReadyOnlyWhileMounted()
    {
        QTemporaryDir dir;
        const QString stick = realPath(dir.path()) + QStringLiteral("/tikku");
        QVERIFY(QDir().mkdir(stick));
        QList<Mount> table{{QStringLiteral("/"), QStringLiteral("/dev/sda1")}};
        setMountSource([&] { return table; });
        const Drive volume{stick, QStringLiteral("TIKKU"), true};

        // A mount folder with nothing mounted on it is a plain folder of its parent's volume.
        QVERIFY(!driveReady(volume));
        QVERIFY(!mountedAt(stick));
        table.append({realPath(dir.path()), QStringLiteral("/dev/sdb1")});
        QVERIFY(!driveReady(volume));

        table.append({stick, QStringLiteral("TIKKU")});
        QVERIFY(mountedAt(stick));
        QVERIFY(driveReady(volume));

        // A share whose server does not answer cannot be browsed.
        table.last().ready = false;
        QVERIFY(!driveReady(volume));

        // A fixed drive needs no mount of its own.
        QVERIFY(driveReady({stick, QStringLiteral("KANSIO"), false}));
    }

#ifdef Q_OS_UNIX
    // On Windows QFile::link makes a shortcut file, which the file system does not follow.
    void mountIsFoundThroughASymbolicLink()
    {
        QTemporaryDir dir;
        const QString stick = realPath(dir.path()) + QStringLiteral("/tikku");
        QVERIFY(QDir().mkdir(stick));
        const QString link = dir.filePath(QStringLiteral("linkki"));
        QVERIFY(QFile::link(stick, link));
        setMountSource([&] { return QList<Mount>{{stick, QStringLiteral("TIKKU")}}; });
        QVERIFY(driveReady({link, QStringLiteral("TIKKU"), true}));
        QVERIFY(!mountedAt(dir.filePath(QStringLiteral("poissa"))));
    }
#endif

    void unmountedVolumeIsNotReadyThoughItsFolderStays()
    {
        // The computer's own mount table: nothing can be mounted on a folder just made.
        QTemporaryDir dir;
        const Drive volume{dir.path(), QStringLiteral("TIKKU"), true};
        QVERIFY(!mountedAt(dir.path()));
        QVERIFY(!driveReady(volume));

#ifdef Q_OS_UNIX
        // Where the kernel's table is whole, the program reads the same mount points from it.
        if (const std::optional<QSet<QString>> kernel = kernelMountPoints()) {
            const QList<Mount> table = mounts();
            QVERIFY(!table.isEmpty());
            for (const Mount &mount : table)
                QVERIFY2(kernel->contains(mount.root), qPrintable(mount.root));
        }
#endif
    }
};

QTEST_MAIN(TestFileSystem)
#include "test_file_system.moc"
