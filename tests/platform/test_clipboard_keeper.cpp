#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using namespace zorvik::platform;

Q_DECLARE_METATYPE(zorvik::platform::WindowSystem)

class TestClipboardKeeper : public QObject {
    Q_OBJECT

private slots:
    void copiedTextOutlivesTheProgramOnlyWhileOurs_data()
    {
        QTest::addColumn<WindowSystem>("system");
        QTest::addColumn<bool>("manager");
        QTest::addColumn<bool>("copiedOver");
        QTest::addColumn<QStringList>("keeper");
        const QStringList none;
        QTest::newRow("X11") << WindowSystem::X11 << false << false
                             << QStringList{"xclip", "-selection", "clipboard"};
        QTest::newRow("Wayland") << WindowSystem::Wayland << false << false
                                 << QStringList{"wl-copy", "--type", "text/plain;charset=utf-8"};
        QTest::newRow("X11, a clipboard manager") << WindowSystem::X11 << true << false << none;
        QTest::newRow("X11, copied over") << WindowSystem::X11 << false << true << none;
        QTest::newRow("Windows") << WindowSystem::Other << false << false << none;
    }

    void copiedTextOutlivesTheProgramOnlyWhileOurs()
    {
        QFETCH(WindowSystem, system);
        QFETCH(bool, manager);
        QFETCH(bool, copiedOver);
        QFETCH(QStringList, keeper);
        QStringList launched;
        QByteArray input;
        setKeeperLauncher(
            [&](const QString &program, const QStringList &arguments, const QByteArray &text) {
                launched << program << arguments;
                input += text;
            });
        // Not all ASCII: the keeper is handed the text as UTF-8.
        const QString markup = QStringLiteral(R"(<IMG SRC="C:\kuvat\öljy.gif"></map>)");
        copyToClipboard(markup);
        if (copiedOver)
            QGuiApplication::clipboard()->setText(QStringLiteral("toisen ohjelman teksti"));

        keepCopiedText({system, manager});
        setKeeperLauncher({});
        QCOMPARE(launched, keeper);
        QVERIFY(input == (keeper.isEmpty() ? QByteArray() : markup.toUtf8()));
    }
};

QTEST_MAIN(TestClipboardKeeper)
#include "test_clipboard_keeper.moc"
