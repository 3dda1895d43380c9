#include "platform/modal.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <functional>

using namespace zorvik;
using namespace zorvik::ui;

using Step = std::function<void(Form1 &)>;
Q_DECLARE_METATYPE(Step)

// Each dialog, opened as the user opens it: while it is shown a close request to the main
// window is refused and the dialog stays, and its window belongs to the main window's, which
// the window system keeps it above.
class TestModalDisplay : public QObject {
    Q_OBJECT

private slots:
    void mainWindowWaitsForEveryDialog_data()
    {
        QTest::addColumn<Step>("open");
        QTest::addColumn<Step>("inUusi");
        QTest::addColumn<QStringList>("shown");
        const Step uusi = [](Form1 &main) { main.uusi()->click(); };
        QTest::newRow("Uusi") << uusi << Step() << QStringList{"Uusi"};
        QTest::newRow("chooser") << uusi << Step([](Form1 &) { form2().Command3()->click(); })
                                 << QStringList{"Uusi", "Valitse kuvatiedosto"};
        QTest::newRow("Options") << Step([](Form1 &) { showForm3(); }) << Step()
                                 << QStringList{"Options"};
        QTest::newRow("Tietoa") << Step([](Form1 &main) { main.tietoa()->click(); }) << Step()
                                << QStringList{"Tietoa tekijästä"};
    }

    void mainWindowWaitsForEveryDialog()
    {
        QFETCH(Step, open);
        QFETCH(Step, inUusi);
        QFETCH(QStringList, shown);
        Form1 main;
        main.show();
        QWindow *mainWindow = main.windowHandle();

        QStringList seen;
        platform::setModalDriver([&](QDialog *dialog) {
            seen << dialog->windowTitle();
            const QWindow *window = dialog->windowHandle();
            QCOMPARE(window ? window->transientParent() : nullptr, mainWindow);
            QVERIFY(!mainWindow->close());
            QVERIFY(main.isVisible() && dialog->isVisible());
            if (inUusi && dialog == &form2())
                inUusi(main);
        });
        open(main);
        platform::setModalDriver({});
        QCOMPARE(seen, shown);

        // With no dialog shown, a close ends the program as it always has.
        QVERIFY(mainWindow->close());
        QVERIFY(!main.isVisible());
    }
};

QTEST_MAIN(TestModalDisplay)
#include "test_modal_display.moc"
