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
// window is refused and the dialog stays, and its window belongs to the window that opened it,
// which the window system keeps it above.
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
        QStringList ownersSeen;
        platform::setModalDriver([&](QDialog *dialog) {
            seen << dialog->windowTitle();
            const QWindow *window = dialog->windowHandle();
            const QWindow *owner = window ? window->transientParent() : nullptr;
            ownersSeen << (owner ? owner->title() : QString());
            QVERIFY(!mainWindow->close());
            QVERIFY(main.isVisible() && dialog->isVisible());
            if (inUusi && dialog == &form2())
                inUusi(main);
        });
        open(main);
        platform::setModalDriver({});
        QCOMPARE(seen, shown);
        // Each dialog belongs to the one that opened it, the first to the main window.
        QCOMPARE(ownersSeen, QStringList{main.windowTitle()} + shown.first(shown.size() - 1));

        // With no dialog shown, a close ends the program as it always has.
        QVERIFY(mainWindow->close());
        QVERIFY(!main.isVisible());
    }
};

QTEST_MAIN(TestModalDisplay)
#include "test_modal_display.moc"
