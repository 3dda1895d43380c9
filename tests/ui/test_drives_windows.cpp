// The chooser's Windows rules: drive letters with their volumes' labels, paths with the drive
// letter and backslashes, names whatever their letter case, and a drive without its medium.
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "tests/touch.h"
#include "ui/form4.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace zorvik;
using platform::Drive;
using platform::Mount;

using zorvik::test::touch;

namespace {

// The system drive as Windows names it, "C:/" in Qt's form.
QString systemRoot()
{
    return QDir(QDir::tempPath()).rootPath();
}

} // namespace

class TestDrivesWindows : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        platform::setMountSource({});
        platform::recordMessagesInto(nullptr);
        delete &ui::form4();
    }

    void drivesAreTheLettersWithTheirLabels()
    {
        platform::setMountSource([] {
            return QList<Mount>{{QStringLiteral("E:/"), QStringLiteral("KUVAT")},
                                {QStringLiteral("C:/"), QStringLiteral("Järjestelmä")},
                                {QStringLiteral("C:/levyt/arkisto/"), QStringLiteral("ARKISTO")},
                                {QStringLiteral("D:/"), QStringLiteral("D:/"), false},
                                {QStringLiteral("Z:/"), QStringLiteral("")}};
        });
        QStringList roots, labels;
        for (const Drive &drive : platform::drives()) {
            roots.append(drive.root);
            labels.append(drive.label);
            QVERIFY2(drive.removable, qPrintable(drive.root));
        }
        QCOMPARE(roots, (QStringList{QStringLiteral("C:/"), QStringLiteral("D:/"),
                                     QStringLiteral("E:/"), QStringLiteral("Z:/")}));
        QCOMPARE(labels, (QStringList{QStringLiteral("C: [Järjestelmä]"), QStringLiteral("D:"),
                                      QStringLiteral("E: [KUVAT]"), QStringLiteral("Z:")}));
    }

    void computerListsItsSystemDrive()
    {
        QStringList roots;
        for (const Drive &drive : platform::drives())
            roots.append(drive.root);
        QVERIFY2(roots.contains(systemRoot(), Qt::CaseInsensitive), qPrintable(roots.join(' ')));
        QVERIFY(platform::driveReady({systemRoot(), QStringLiteral("C:"), true}));
    }

    void driveIsReadyOnlyWithItsMedium()
    {
        const QString root = systemRoot();
        QList<Mount> table{{root, QStringLiteral("LEVY"), false}};
        platform::setMountSource([&] { return table; });
        QVERIFY(!platform::driveReady({root, QStringLiteral("C:"), true}));
        table.first().ready = true;
        QVERIFY(platform::driveReady({root, QStringLiteral("C:"), true}));
        // The letter case of the drive letter is no matter.
        QVERIFY(platform::driveReady({root.toLower(), QStringLiteral("c:"), true}));
        QVERIFY(!platform::driveReady({QStringLiteral("Q:/"), QStringLiteral("Q:"), true}));
    }

    void pathsHaveTheDriveLetterAndBackslashes_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("file at a drive's root") << "C:/"
                                                << "pic.gif"
                                                << "C:\\pic.gif";
        QTest::newRow("file in a folder") << "C:/maps"
                                          << "a.jpg"
                                          << "C:\\maps\\a.jpg";
        QTest::newRow("no file at a drive's root") << "C:/"
                                                   << ""
                                                   << "C:\\";
        QTest::newRow("no file in a folder") << "D:/kuvat/2024"
                                             << ""
                                             << "D:\\kuvat\\2024\\";
    }
    void pathsHaveTheDriveLetterAndBackslashes()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(platform::separator(), QStringLiteral("\\"));
        QCOMPARE(platform::composePath(QDir::toNativeSeparators(folder), name), path);
    }

    void namesIgnoreLetterCase()
    {
        const QStringList roots{QStringLiteral("C:/"), QStringLiteral("D:/Kuvat")};
        QCOMPARE(platform::driveRootOf(roots, QStringLiteral("d:/KUVAT/2024")),
                 QStringLiteral("D:/Kuvat"));
        QCOMPARE(platform::driveRootOf(roots, QStringLiteral("c:/kartat")), QStringLiteral("C:/"));

        // "Z.GIF" names the file z.gif, which is listed once, under the name it was made with.
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("z.gif")));
        touch(dir.filePath(QStringLiteral("Z.GIF")));
        touch(dir.filePath(QStringLiteral("KUVA.JPG")));
        const platform::FolderListing files = platform::listFiles(
            dir.path(), platform::splitPattern(QStringLiteral("*.jpeg;*.jpg;*.gif")));
        QVERIFY(files.ok());
        QCOMPARE(files.names, (QStringList{QStringLiteral("KUVA.JPG"), QStringLiteral("z.gif")}));
    }

    void chooserShowsDriveLettersAndReportsAMissingMedium()
    {
        QTemporaryDir start;
        QVERIFY(QDir::setCurrent(start.path()));
        touch(start.filePath(QStringLiteral("kaupunki.jpg")));
        const QString root = systemRoot();
        platform::setMountSource([root] {
            return QList<Mount>{{root, QStringLiteral("Järjestelmä")},
                                {QStringLiteral("A:/"), QStringLiteral("A:/"), false}};
        });
        std::vector<platform::ShownMessage> messages;
        platform::recordMessagesInto(&messages);

        ui::Form4 &form = ui::form4();
        form.show();
        const QString letter = root.left(2).toUpper();
        QCOMPARE(form.Drive1()->currentText(), letter + QStringLiteral(" [Järjestelmä]"));
        const QString shown = QDir::toNativeSeparators(QFileInfo(start.path()).canonicalFilePath());
        QCOMPARE(form.tiedosto()->text(), shown + QStringLiteral("\\"));
        QVERIFY(!form.tiedosto()->text().contains(QLatin1Char('/')));

        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("A:")));
        QCOMPARE(messages.size(), size_t(1));
        QCOMPARE(messages[0].title, QStringLiteral("virhe"));
        QCOMPARE(messages[0].text, QStringLiteral("Levyä ei ole asemassa!"));
        QCOMPARE(form.tiedosto()->text(), shown + QStringLiteral("\\"));
        form.hide();
        // Windows keeps a process's current folder from being removed.
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
    }
};

QTEST_MAIN(TestDrivesWindows)
#include "test_drives_windows.moc"
