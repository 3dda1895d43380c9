#include "platform/clipboard.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <thread>

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

#ifdef Q_OS_UNIX
    // The keeper found first in PATH is started with its arguments and given the whole map,
    // which is larger than a pipe holds; one that never reads holds the launch up for a moment
    // only. A keeper writes what it was given, or its process id, next to itself.
    void keeperIsGivenTheMapAndCannotHoldTheEnd_data()
    {
        QTest::addColumn<QByteArray>("keeper");
        QTest::addColumn<bool>("reads");
        QTest::newRow("reads") << QByteArray(R"(printf '%s\n' "$@" > "$0.out"; cat >> "$0.out")")
                               << true;
        QTest::newRow("never reads") << QByteArray(R"(echo $$ > "$0.pid"; exec sleep 30)") << false;
    }
    void keeperIsGivenTheMapAndCannotHoldTheEnd()
    {
        QFETCH(QByteArray, keeper);
        QFETCH(bool, reads);
        QTemporaryDir dir;
        const QString xclip = dir.filePath(QStringLiteral("xclip"));
        QFile script(xclip);
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write("#!/bin/sh\n" + keeper) > 0);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()) + ':' + path);
        QByteArray map;
        for (int i = 0; map.size() < 180000; ++i)
            map += "<AREA HREF=\"" + QByteArray::number(i) + "\">";

        std::atomic<bool> returned = false;
        std::thread launch([&] {
            launchKeeper(QStringLiteral("xclip"), {"-selection", "clipboard"}, map);
            returned = true;
        });
        // Ending the keeper that never reads ends a write that waits for it.
        const auto stop = qScopeGuard([&] {
            QFile pid(xclip + ".pid");
            QTRY_VERIFY(reads || pid.exists());
            if (!reads && pid.open(QIODevice::ReadOnly))
                kill(pid_t(pid.readAll().trimmed().toInt()), SIGKILL);
            launch.join();
            qputenv("PATH", path);
        });
        QTRY_VERIFY_WITH_TIMEOUT(returned, 10000);
        const QByteArray given = "-selection\nclipboard\n" + map;
        QFile out(xclip + ".out");
        QTRY_COMPARE(out.size(), reads ? given.size() : 0);
        QVERIFY(!reads || (out.open(QIODevice::ReadOnly) && out.readAll() == given));
    }
#endif
};

QTEST_MAIN(TestClipboardKeeper)
#include "test_clipboard_keeper.moc"
