#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <vector>

using namespace zorvik::platform;

Q_DECLARE_METATYPE(zorvik::platform::WindowSystem)

class TestClipboardKeeper : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_launches.clear();
        setKeeperLauncher(
            [this](const QString &program, const QStringList &arguments, const QByteArray &input) {
                m_launches.push_back({QStringList{program} + arguments, input});
            });
    }

    void cleanup() { setKeeperLauncher({}); }

    void copiedTextOutlivesTheProgramOnlyWhileOurs_data()
    {
        QTest::addColumn<WindowSystem>("system");
        QTest::addColumn<bool>("manager");
        QTest::addColumn<bool>("copiedOverSince");
        QTest::addColumn<QStringList>("keeper");
        const QStringList xclip{"xclip", "-selection", "clipboard"};
        const QStringList wlCopy{"wl-copy", "--type", "text/plain;charset=utf-8"};
        QTest::newRow("X11") << WindowSystem::X11 << false << false << xclip;
        QTest::newRow("Wayland") << WindowSystem::Wayland << false << false << wlCopy;
        QTest::newRow("X11, a clipboard manager")
            << WindowSystem::X11 << true << false << QStringList();
        QTest::newRow("X11, copied over") << WindowSystem::X11 << false << true << QStringList();
        QTest::newRow("Wayland, copied over")
            << WindowSystem::Wayland << false << true << QStringList();
        QTest::newRow("Windows") << WindowSystem::Other << false << false << QStringList();
    }

    void copiedTextOutlivesTheProgramOnlyWhileOurs()
    {
        QFETCH(WindowSystem, system);
        QFETCH(bool, manager);
        QFETCH(bool, copiedOverSince);
        QFETCH(QStringList, keeper);
        // Long, and not all ASCII: the keeper is handed every byte of it as UTF-8.
        const QString markup = QStringLiteral(R"(<IMG SRC="C:\kuvat\öljy.gif" Alt=")") +
                               QString(200'000, QChar(0x20AC)) + QStringLiteral(R"("></map>)");
        copyToClipboard(markup);
        if (copiedOverSince)
            QGuiApplication::clipboard()->setText(QStringLiteral("toisen ohjelman teksti"));

        keepCopiedText({system, manager});

        if (keeper.isEmpty()) {
            QCOMPARE(m_launches.size(), std::size_t(0));
            return;
        }
        QCOMPARE(m_launches.size(), std::size_t(1));
        QCOMPARE(m_launches.front().command, keeper);
        QVERIFY(m_launches.front().input == markup.toUtf8());
    }

private:
    struct Launch {
        QStringList command;
        QByteArray input;
    };
    std::vector<Launch> m_launches;
};

QTEST_MAIN(TestClipboardKeeper)
#include "test_clipboard_keeper.moc"
