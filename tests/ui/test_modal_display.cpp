#include "platform/modal.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <functional>

using namespace zorvik;
using namespace zorvik::ui;

using Step = std::function<void(Form1 &)>;
Q_DECLARE_METATYPE(Step)

// Each dialog, opened as the user opens it, over the main window on its screen: while the
// dialog is shown a close request to the main window is refused and the dialog stays, and the
// dialog's window belongs to the main window's, which the window system keeps it above.
class TestModalDisplay : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { platform::setModalDriver({}); }

    void mainWindowWaitsForEveryDialog_data()
    {
        QTest::addColumn<Step>("open");
        QTest::addColumn<Step>("inUusi");
        QTest::addColumn<QStringList>("shown");
        const Step uusi = [](Form1 &main) { main.uusi()->click(); };
        const Step nothing = [](Form1 &) {};
        QTest::newRow("Uusi") << uusi << nothing << QStringList{"Uusi"};
        QTest::newRow("chooser") << uusi << Step([](Form1 &) { form2().Command3()->click(); })
                                 << QStringList{"Uusi", "Valitse kuvatiedosto"};
        QTest::newRow("unreadable picture") << uusi << Step([](Form1 &) {
            form2().kuva()->setText(QStringLiteral("/ei/ole/kuva.gif"));
            form2().Command1()->click();
        }) << QStringList{"Uusi", "Virhe"};
        QTest::newRow("Options") << Step([](Form1 &) { showForm3(); }) << nothing
                                 << QStringList{"Options"};
        QTest::newRow("Tietoa") << Step([](Form1 &main) { main.tietoa()->click(); }) << nothing
                                << QStringList{"Tietoa tekijästä"};
    }

    void mainWindowWaitsForEveryDialog()
    {
        QFETCH(Step, open);
        QFETCH(Step, inUusi);
        QFETCH(QStringList, shown);
        Form1 main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QWindow *mainWindow = main.windowHandle();

        QStringList seen;
        platform::setModalDriver([&](QDialog *dialog) {
            seen << dialog->windowTitle();
            QWindow *window = dialog->windowHandle();
            QVERIFY(window && mainWindow->isAncestorOf(window, QWindow::IncludeTransients));
            // A message box belongs to the window it speaks for, the others to the main one.
            if (!dialog->parentWidget())
                QCOMPARE(window->transientParent(), mainWindow);
            QVERIFY(!mainWindow->close());
            QVERIFY(main.isVisible());
            QVERIFY(dialog->isVisible());
            if (dialog == &form2())
                inUusi(main);
        });
        open(main);
        QCOMPARE(seen, shown);

        // With no dialog shown, a close ends the program as it always has.
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(mainWindow->close());
        QVERIFY(!main.isVisible());
    }
};

QTEST_MAIN(TestModalDisplay)
#include "test_modal_display.moc"
