#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/modal.h"
#include "platform/twips.h"
#include "tests/touch.h"
#include "ui/form2.h"
#include "ui/form4.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

using namespace zorvik;
using platform::ShownMessage;
using ui::FolderList;
using ui::form2;
using ui::Form4;
using ui::form4;

using zorvik::test::touch;

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString withSeparator(const QString &folder)
{
    return platform::composePath(native(folder), QString());
}

int rowOf(const QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? -1 : list->row(found.first());
}

QStringList texts(const QListWidget *list)
{
    QStringList all;
    for (int row = 0; row < list->count(); ++row)
        all.append(list->item(row)->text());
    return all;
}

QPoint centreOf(QListWidget *list, const QString &text)
{
    const int row = rowOf(list, text);
    if (row < 0)
        qFatal("%s is not listed", qPrintable(text));
    return list->visualItemRect(list->item(row)).center();
}

void click(QListWidget *list, const QString &text)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, text));
}

// As a mouse delivers it: press, release, double-click, release.
void doubleClick(QListWidget *list, const QString &text)
{
    const QPoint at = centreOf(list, text);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// Double-clicks a folder wherever the list has scrolled to: "/" holds more than fits.
void open(QListWidget *list, const QString &text)
{
    list->scrollToItem(list->item(rowOf(list, text)));
    doubleClick(list, text);
}

// The pictures of the start folder; where names ignore letter case, as on Windows, "Z.GIF" is
// the file z.gif once more.
QStringList startPictures()
{
    QStringList names{QStringLiteral("x.jpg"), QStringLiteral("y.jpeg"), QStringLiteral("z.gif")};
    if (platform::pathCase() == Qt::CaseSensitive)
        names.append(QStringLiteral("Z.GIF"));
    return names;
}

// What the user sees of the chooser; a failed action must leave all of it as it was.
struct Look {
    QString drive, folder, tiedosto;
    QStringList folders, files, selectedFiles;

    static Look of(const Form4 &form)
    {
        QStringList selected;
        for (const QListWidgetItem *item : form.File1()->selectedItems())
            selected.append(item->text());
        return {form.Drive1()->currentText(), form.Dir1()->path(), form.tiedosto()->text(),
                texts(form.Dir1()),           texts(form.File1()), selected};
    }
    bool operator==(const Look &) const = default;
};

} // namespace

class TestForm4 : public QObject {
    Q_OBJECT

    QTemporaryDir m_tree;
    QString m_driveC, m_driveD, m_driveE, m_start, m_alpha, m_beta;
    std::vector<ShownMessage> m_messages;

    Form4 &chooser() { return form4(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tree.isValid());
        const QString base = QFileInfo(m_tree.path()).canonicalFilePath();
        m_driveC = base + QStringLiteral("/levyC");
        m_driveD = base + QStringLiteral("/levyD");
        m_driveE = base + QStringLiteral("/levyE");
        m_start = m_driveC + QStringLiteral("/kartat");
        m_alpha = m_start + QStringLiteral("/alfa");
        m_beta = m_start + QStringLiteral("/beeta");

        const QList<platform::Drive> drives{{QDir::rootPath(), QStringLiteral("juuri"), false},
                                            {m_driveC, QStringLiteral("C:"), false},
                                            {m_driveD, QStringLiteral("D:"), false},
                                            {m_driveE, QStringLiteral("E:"), false}};
        platform::setDriveSource([drives] { return drives; });
        platform::recordMessagesInto(&m_messages);
    }

    void cleanupTestCase()
    {
        platform::recordMessagesInto(nullptr);
        platform::setDriveSource({});
    }

    // Every case starts from the whole tree and a chooser made afresh in the start folder, so
    // that what one case removes or browses cannot reach the next.
    void init()
    {
        // Windows keeps a process's current folder from being removed.
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
        QVERIFY(QDir(m_tree.path()).removeRecursively());
        for (const QString &folder : {m_alpha, m_beta, m_driveD, m_driveE})
            QVERIFY(QDir().mkpath(folder));
        for (const char *name : {"x.jpg", "y.jpeg", "z.gif", "Z.GIF", "w.png", "v.bmp"})
            touch(m_start + QLatin1Char('/') + QLatin1String(name));
        touch(m_alpha + QStringLiteral("/a.jpg"));
        touch(m_driveD + QStringLiteral("/d.gif"));
        QVERIFY(QDir::setCurrent(m_start));
        m_messages.clear();
        chooser().show();
    }

    void cleanup()
    {
        platform::setModalDriver({});
        delete &chooser();
    }

    void loadShowsTheStartFolder()
    {
        const Form4 &form = chooser();
        QCOMPARE(form.tiedosto()->text(), withSeparator(m_start));
        QCOMPARE(form.Text1()->text(), QStringLiteral("*.jpeg;*.jpg;*.gif"));
        QVERIFY(!form.Text1()->isEnabled());
        QVERIFY(form.tiedosto()->isReadOnly());
        QCOMPARE(form.Drive1()->currentText(), QStringLiteral("C:"));
        QCOMPARE(form.Dir1()->path(), m_start);
        QCOMPARE(form.File1()->path(), m_start);
        QVERIFY(form.File1()->selectedItems().isEmpty());
    }

    void windowIsAFixedDialog()
    {
        const Form4 &form = chooser();
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(!(form.windowFlags() & Qt::WindowMinMaxButtonsHint));
        QVERIFY(!form.windowIcon().isNull());
        QVERIFY(!form.avaa()->autoDefault() && !form.peruuta()->autoDefault());
    }

    void tabOrderStartsAtTheDriveList()
    {
        const Form4 &form = chooser();
        QList<QWidget *> order;
        QWidget *w = form.Drive1();
        do {
            if (w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && w->window() == &form)
                order.append(w);
            w = w->nextInFocusChain();
        } while (w != form.Drive1());
        QCOMPARE(order, (QList<QWidget *>{form.Drive1(), form.Dir1(), form.File1(), form.tiedosto(),
                                          form.avaa(), form.peruuta()}));
    }

    void onlyPicturesAreListedWhateverTheirCase()
    {
        QCOMPARE(texts(chooser().File1()), startPictures());
    }

    void folderListShowsAncestorsThenSubfolders()
    {
        const Form4 &form = chooser();
        QCOMPARE(texts(form.Dir1()),
                 (QStringList{native(m_driveC), QStringLiteral("kartat"), QStringLiteral("alfa"),
                              QStringLiteral("beeta")}));
        QCOMPARE(form.Dir1()->currentRow(), 1);
        QCOMPARE(form.Dir1()->folderAt(0), m_driveC);
        QCOMPARE(form.Dir1()->folderAt(3), m_beta);
    }

    void clickingAFileComposesItsPath()
    {
        click(chooser().File1(), QStringLiteral("y.jpeg"));
        QCOMPARE(chooser().tiedosto()->text(), native(m_start + QStringLiteral("/y.jpeg")));
    }

    void singleClickOnAFolderOnlySelectsIt()
    {
        click(chooser().Dir1(), QStringLiteral("alfa"));
        QCOMPARE(chooser().Dir1()->path(), m_start);
        QCOMPARE(chooser().tiedosto()->text(), withSeparator(m_start));
    }

    void openingAnotherFolderClearsTheSelection()
    {
        Form4 &form = chooser();
        click(form.File1(), QStringLiteral("x.jpg"));
        doubleClick(form.Dir1(), QStringLiteral("alfa"));
        QCOMPARE(form.Dir1()->path(), m_alpha);
        QCOMPARE(texts(form.File1()), QStringList{QStringLiteral("a.jpg")});
        QVERIFY(form.File1()->selectedItems().isEmpty());
        QCOMPARE(form.tiedosto()->text(), withSeparator(m_alpha));
    }

    void enterOpensTheSelectedFolderAndClosesNothing()
    {
        Form4 &form = chooser();
        form.Dir1()->setFocus();
        form.Dir1()->setCurrentRow(rowOf(form.Dir1(), QStringLiteral("beeta")));
        QTest::keyClick(form.Dir1(), Qt::Key_Return);
        QCOMPARE(form.Dir1()->path(), m_beta);
        QVERIFY(form.isVisible());
        // Up again through an ancestor.
        form.Dir1()->setCurrentRow(0);
        QTest::keyClick(form.Dir1(), Qt::Key_Enter);
        QCOMPARE(form.Dir1()->path(), m_driveC);
        QCOMPARE(form.tiedosto()->text(), withSeparator(m_driveC));
    }

    void escapeAndEnterPressNoButton()
    {
        Form4 &form = chooser();
        click(form.File1(), QStringLiteral("x.jpg"));
        form.setResult(QDialog::Rejected);
        QTest::keyClick(form.File1(), Qt::Key_Escape);
        QTest::keyClick(form.File1(), Qt::Key_Return);
        form.avaa()->setFocus();
        QTest::keyClick(form.avaa(), Qt::Key_Return);
        QVERIFY(form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Rejected));
    }

    void avaaWithAFileHandsItsPathOver()
    {
        form2().kuva()->setText(QStringLiteral("vanha.gif"));
        platform::setModalDriver([this](QDialog *) {
            click(chooser().File1(), QStringLiteral("z.gif"));
            QTest::mouseClick(chooser().avaa(), Qt::LeftButton);
        });
        form2().Command3_Click();
        QVERIFY(!chooser().isVisible());
        QCOMPARE(chooser().tiedosto()->text(), native(m_start + QStringLiteral("/z.gif")));
        QCOMPARE(form2().kuva()->text(), native(m_start + QStringLiteral("/z.gif")));
    }

    void avaaWithoutAFileHandsTheFolderOver()
    {
        platform::setModalDriver([this](QDialog *) {
            doubleClick(chooser().Dir1(), QStringLiteral("beeta"));
            QTest::mouseClick(chooser().avaa(), Qt::LeftButton);
        });
        form2().Command3_Click();
        QCOMPARE(form2().kuva()->text(), withSeparator(m_beta));
    }

    void avaaAtARootAddsNoSecondSeparator()
    {
        platform::setModalDriver([this](QDialog *) {
            chooser().Drive1()->setCurrentIndex(
                chooser().Drive1()->findText(QStringLiteral("juuri")));
            QTest::mouseClick(chooser().avaa(), Qt::LeftButton);
        });
        form2().Command3_Click();
        QCOMPARE(chooser().Dir1()->path(), QDir::rootPath());
        QCOMPARE(form2().kuva()->text(), native(QDir::rootPath()));
        chooser().Drive1()->setCurrentIndex(chooser().Drive1()->findText(QStringLiteral("C:")));
    }

    void peruutaAfterAClickLeavesKuvaAsItWas()
    {
        form2().kuva()->setText(QStringLiteral("entinen.jpg"));
        platform::setModalDriver([this](QDialog *) {
            click(chooser().File1(), QStringLiteral("x.jpg"));
            QTest::mouseClick(chooser().peruuta(), Qt::LeftButton);
        });
        form2().Command3_Click();
        QVERIFY(!chooser().isVisible());
        QCOMPARE(chooser().tiedosto()->text(), native(m_start + QStringLiteral("/x.jpg")));
        QCOMPARE(form2().kuva()->text(), QStringLiteral("entinen.jpg"));
    }

    void closingFromTheTitleBarLeavesKuvaAndDiscardsTheChooser()
    {
        form2().kuva()->setText(QStringLiteral("entinen.jpg"));
        QPointer<Form4> closed;
        platform::setModalDriver([&](QDialog *dialog) {
            closed = qobject_cast<Form4 *>(dialog);
            doubleClick(chooser().Dir1(), QStringLiteral("alfa"));
            click(chooser().File1(), QStringLiteral("a.jpg"));
            dialog->close();
        });
        form2().Command3_Click();
        QCOMPARE(form2().kuva()->text(), QStringLiteral("entinen.jpg"));
        QVERIFY(closed.isNull());

        // The next showing is a fresh chooser in the start folder, nothing selected.
        Look reopened;
        platform::setModalDriver([&](QDialog *dialog) {
            QVERIFY(dialog == &chooser());
            reopened = Look::of(chooser());
            QTest::mouseClick(chooser().peruuta(), Qt::LeftButton);
        });
        form2().Command3_Click();
        QCOMPARE(reopened.drive, QStringLiteral("C:"));
        QCOMPARE(reopened.folder, m_start);
        QVERIFY(reopened.selectedFiles.isEmpty());
        QCOMPARE(reopened.tiedosto, withSeparator(m_start));
        QCOMPARE(reopened.files, startPictures());
        QCOMPARE(chooser().Text1()->text(), QStringLiteral("*.jpeg;*.jpg;*.gif"));
        QCOMPARE(form2().kuva()->text(), QStringLiteral("entinen.jpg"));
    }

    void secondShowingOpensWhereTheFirstLeftOff()
    {
        Form4 *first = nullptr;
        platform::setModalDriver([&](QDialog *dialog) {
            first = qobject_cast<Form4 *>(dialog);
            doubleClick(chooser().Dir1(), QStringLiteral("alfa"));
            click(chooser().File1(), QStringLiteral("a.jpg"));
            QTest::mouseClick(chooser().peruuta(), Qt::LeftButton);
        });
        form2().Command3_Click();
        const Look left = Look::of(chooser());

        Look reopened;
        platform::setModalDriver([&](QDialog *dialog) {
            QCOMPARE(dialog, first);
            reopened = Look::of(chooser());
            QTest::mouseClick(chooser().avaa(), Qt::LeftButton);
        });
        form2().Command3_Click();
        QVERIFY(reopened == left);
        QCOMPARE(reopened.selectedFiles, QStringList{QStringLiteral("a.jpg")});
        QCOMPARE(form2().kuva()->text(), native(m_alpha + QStringLiteral("/a.jpg")));
    }

    void driveChangeLandsOnTheDrivesCurrentFolder()
    {
        Form4 &form = chooser();
        doubleClick(form.Dir1(), QStringLiteral("alfa"));
        click(form.File1(), QStringLiteral("a.jpg"));
        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("D:")));
        QCOMPARE(form.Dir1()->path(), m_driveD);
        QCOMPARE(texts(form.File1()), QStringList{QStringLiteral("d.gif")});
        QVERIFY(form.File1()->selectedItems().isEmpty());
        QCOMPARE(form.tiedosto()->text(), withSeparator(m_driveD));

        // Back on the start folder's drive: the start folder, not the folder left there.
        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("C:")));
        QCOMPARE(form.Dir1()->path(), m_start);
        QCOMPARE(form.tiedosto()->text(), withSeparator(m_start));

        // Any other drive's current folder is its root, wherever the user went on it.
        QVERIFY(QDir().mkpath(m_driveD + QStringLiteral("/syvempi")));
        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("D:")));
        doubleClick(form.Dir1(), QStringLiteral("syvempi"));
        QCOMPARE(form.Dir1()->path(), m_driveD + QStringLiteral("/syvempi"));
        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("C:")));
        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("D:")));
        QCOMPARE(form.Dir1()->path(), m_driveD);
        QVERIFY(m_messages.empty());
    }

    void ctrlClickKeepsTheFileSelected()
    {
        Form4 &form = chooser();
        click(form.File1(), QStringLiteral("y.jpeg"));
        const QString chosen = native(m_start + QStringLiteral("/y.jpeg"));
        QTest::mouseClick(form.File1()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          centreOf(form.File1(), QStringLiteral("y.jpeg")));
        QCOMPARE(form.File1()->fileName(), QStringLiteral("y.jpeg"));
        QCOMPARE(form.tiedosto()->text(), chosen);

        // Ctrl+click on another file moves the one selection there.
        QTest::mouseClick(form.File1()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          centreOf(form.File1(), QStringLiteral("z.gif")));
        QCOMPARE(form.File1()->selectedItems().size(), 1);
        QCOMPARE(form.tiedosto()->text(), native(m_start + QStringLiteral("/z.gif")));

        // The keyboard's Ctrl+Space toggles no file off either.
        form.File1()->setFocus();
        QTest::keyClick(form.File1(), Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(form.File1()->fileName(), QStringLiteral("z.gif"));
    }

    void gesturesThatChangeNothingKeepTheFile_data()
    {
        QTest::addColumn<int>("gesture");
        QTest::newRow("click below the last file") << 0;
        QTest::newRow("double-click on the open folder") << 1;
        QTest::newRow("Enter on the open folder") << 2;
    }

    void gesturesThatChangeNothingKeepTheFile()
    {
        QFETCH(int, gesture);
        Form4 &form = chooser();
        click(form.File1(), QStringLiteral("y.jpeg"));
        const Look before = Look::of(form);
        const QRect blank = form.File1()->viewport()->rect();
        QVERIFY(!form.File1()->indexAt(blank.bottomLeft()).isValid());

        if (gesture == 0) {
            QTest::mouseClick(form.File1()->viewport(), Qt::LeftButton, {},
                              blank.bottomLeft() + QPoint(10, -5));
        } else if (gesture == 1) {
            doubleClick(form.Dir1(), QStringLiteral("kartat"));
        } else {
            form.Dir1()->setFocus();
            QTest::keyClick(form.Dir1(), Qt::Key_Return);
        }

        QVERIFY(Look::of(form) == before);
        QVERIFY(m_messages.empty());
        // The keyboard still moves the selection.
        form.File1()->setFocus();
        QTest::keyClick(form.File1(), Qt::Key_Down);
        QCOMPARE(form.File1()->fileName(), QStringLiteral("z.gif"));
        QTest::mouseClick(form.avaa(), Qt::LeftButton);
        QCOMPARE(form.tiedosto()->text(), native(m_start + QStringLiteral("/z.gif")));
    }

    // "/" holds the tree, and so every drive of it, as it holds the home folder and /media.
    void folderChainStartsAtTheSelectedDrive()
    {
        Form4 &form = chooser();
        const QString root = QDir::rootPath();
        const QStringList steps = m_driveD.mid(root.size()).split(QLatin1Char('/'));
        for (const QString &step : steps) {
            if (step.startsWith(QLatin1Char('.')))
                QSKIP("the temporary folder is inside a hidden folder, which is not listed");
        }
        const auto chainStartsAt = [&](const QString &top) {
            const FolderList *dir = form.Dir1();
            return dir->folderAt(0) == top && dir->item(0)->text() == native(top) &&
                   dir->folderAt(dir->currentRow()) == dir->path();
        };
        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("juuri")));
        QCOMPARE(form.Dir1()->path(), root);

        // Down into D: and up again to the root, one folder at a time.
        for (const QString &step : steps) {
            open(form.Dir1(), step);
            QVERIFY2(chainStartsAt(root), qPrintable(form.Dir1()->path()));
        }
        QCOMPARE(form.Dir1()->path(), m_driveD);
        QCOMPARE(texts(form.File1()), QStringList{QStringLiteral("d.gif")});
        while (form.Dir1()->path() != root) {
            const QString parent = form.Dir1()->folderAt(form.Dir1()->currentRow() - 1);
            open(form.Dir1(), form.Dir1()->item(form.Dir1()->currentRow() - 1)->text());
            QCOMPARE(form.Dir1()->path(), parent);
            QVERIFY(chainStartsAt(root));
        }
        QCOMPARE(form.Drive1()->currentText(), QStringLiteral("juuri"));

        // Picking D: while its root is open is no folder change: only the chain starts there.
        for (const QString &step : steps)
            open(form.Dir1(), step);
        click(form.File1(), QStringLiteral("d.gif"));
        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("D:")));
        QCOMPARE(form.Dir1()->path(), m_driveD);
        QCOMPARE(texts(form.Dir1()), QStringList{native(m_driveD)});
        QCOMPARE(form.File1()->fileName(), QStringLiteral("d.gif"));
        QCOMPARE(form.tiedosto()->text(), native(m_driveD + QStringLiteral("/d.gif")));
        QVERIFY(m_messages.empty());
    }

    void readyDriveThatCannotBeListedIsPassedOverSilently()
    {
        Form4 &form = chooser();
        click(form.File1(), QStringLiteral("x.jpg"));
        Look before = Look::of(form);
        // E: is found ready, and its root is locked before it is listed.
        bool firstLook = true;
        platform::setReadableCheck([&](const QString &folder) {
            return folder != m_driveE || std::exchange(firstLook, false);
        });
        const auto readableAgain = qScopeGuard([] { platform::setReadableCheck({}); });

        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("E:")));

        QVERIFY(!firstLook);
        QVERIFY(m_messages.empty());
        before.drive = QStringLiteral("E:");
        QVERIFY(Look::of(form) == before);
    }

    void folderThatVanishedIsReportedAndNothingMoves()
    {
        Form4 &form = chooser();
        click(form.File1(), QStringLiteral("x.jpg"));
        const Look before = Look::of(form);
        QVERIFY(QDir(m_beta).removeRecursively());

        doubleClick(form.Dir1(), QStringLiteral("beeta"));

        QCOMPARE(m_messages.size(), size_t(1));
        QCOMPARE(m_messages[0].title, QStringLiteral("virhe"));
        QCOMPARE(m_messages[0].icon, platform::MessageIcon::Critical);
        QVERIFY2(m_messages[0].text.contains(native(m_beta)), qPrintable(m_messages[0].text));
        QVERIFY(Look::of(form) == before);
        QVERIFY(form.isVisible());
    }

    void driveThatWentIsReportedAndNothingMoves()
    {
        Form4 &form = chooser();
        click(form.File1(), QStringLiteral("z.gif"));
        Look before = Look::of(form);
        QVERIFY(QDir(m_driveE).removeRecursively());

        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("E:")));

        QCOMPARE(m_messages.size(), size_t(1));
        QCOMPARE(m_messages[0].title, QStringLiteral("virhe"));
        QCOMPARE(m_messages[0].text, QStringLiteral("Levyä ei ole asemassa!"));
        QCOMPARE(m_messages[0].icon, platform::MessageIcon::Critical);
        // The drive list goes on showing the drive picked; everything else stays.
        before.drive = QStringLiteral("E:");
        QVERIFY(Look::of(form) == before);

        form.Drive1()->setCurrentIndex(form.Drive1()->findText(QStringLiteral("C:")));
        QCOMPARE(form.Dir1()->path(), m_start);
        QCOMPARE(m_messages.size(), size_t(1));
    }

    void unreadableFolderIsReportedAndNothingMoves()
    {
        Form4 &form = chooser();
        click(form.File1(), QStringLiteral("y.jpeg"));
        const Look before = Look::of(form);
        platform::setReadableCheck([this](const QString &folder) { return folder != m_beta; });
        const auto readableAgain = qScopeGuard([] { platform::setReadableCheck({}); });

        doubleClick(form.Dir1(), QStringLiteral("beeta"));

        QCOMPARE(m_messages.size(), size_t(1));
        QCOMPARE(m_messages[0].title, QStringLiteral("virhe"));
        QCOMPARE(m_messages[0].text, QStringLiteral("Kansiota ei voi lukea:\n") + native(m_beta));
        QCOMPARE(m_messages[0].icon, platform::MessageIcon::Critical);
        QVERIFY(Look::of(form) == before);
        QVERIFY(form.isVisible());
    }
};

QTEST_MAIN(TestForm4)
#include "test_form4.moc"
