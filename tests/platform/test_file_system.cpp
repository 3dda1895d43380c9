#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace zorvik::platform;

namespace {

void touch(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
}

const QStringList picturePatterns{QStringLiteral("*.jpeg"), QStringLiteral("*.jpg"),
                                  QStringLiteral("*.gif")};

} // namespace

class TestFileSystem : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setDriveSource({}); }

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
        QDir(dir.path()).mkdir(QStringLiteral("kansio.jpg"));

        const FolderListing files = listFiles(dir.path(), picturePatterns);
        QVERIFY(files.ok());
        QCOMPARE(files.names, (QStringList{QStringLiteral("KUVA.JPG"), QStringLiteral("x.jpg"),
                                           QStringLiteral("y.jpeg"), QStringLiteral("z.gif"),
                                           QStringLiteral("Z.GIF")}));
    }

    void subfoldersAreListedSortedWithoutFiles()
    {
        QTemporaryDir dir;
        QDir folder(dir.path());
        for (const char *name : {"talvi", "Kesä", "arkisto", ".piilo"})
            folder.mkdir(QString::fromUtf8(name));
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
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
#endif
        QTemporaryDir dir;
        const QString locked = dir.filePath(QStringLiteral("lukittu"));
        QDir(dir.path()).mkdir(QStringLiteral("lukittu"));
        QFile::setPermissions(locked, QFileDevice::Permissions());
        const FolderListing listing = listFiles(locked, picturePatterns);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        QVERIFY(!listing.ok());
        QVERIFY(listing.error.contains(QStringLiteral("ei voi lukea")));
    }

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
        if (QDir::homePath() != QStringLiteral("/")) {
            QCOMPARE(list.at(1).root, QDir::homePath());
            QCOMPARE(list.at(1).label, QStringLiteral("~ kotikansio"));
        }
#endif
    }

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

    void unmountedVolumeIsNotReadyThoughItsFolderStays()
    {
        QTemporaryDir dir;
        const Drive volume{dir.path(), QStringLiteral("TIKKU"), true};
        // A mount folder with nothing mounted on it is a plain folder of its parent's volume.
        QVERIFY(!driveReady(volume));
    }
};

QTEST_MAIN(TestFileSystem)
#include "test_file_system.moc"
