#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace zorvik::platform {

namespace {

// The data the program put on the clipboard last; the clipboard owns it, and deletes it or
// answers with other data once another program or another copy has taken the clipboard.
QPointer<const QMimeData> &copied()
{
    static QPointer<const QMimeData> data;
    return data;
}

KeeperLauncher &launcher()
{
    static KeeperLauncher l;
    return l;
}

} // namespace

void copyToClipboard(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
    copied() = data;
}

void keepCopiedText(const ClipboardDesktop &desktop)
{
    const QMimeData *ours = copied();
    if (!ours || QGuiApplication::clipboard()->mimeData() != ours || desktop.managerTakesOver)
        return;
    const QByteArray text = ours->text().toUtf8();
    const KeeperLauncher launch = launcher() ? launcher() : launchKeeper;
    switch (desktop.system) {
    case WindowSystem::X11:
        launch(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")},
               text);
        break;
    case WindowSystem::Wayland:
        // Told the type, wl-copy offers the text under every text type and guesses nothing.
        launch(QStringLiteral("wl-copy"),
               {QStringLiteral("--type"), QStringLiteral("text/plain;charset=utf-8")}, text);
        break;
    case WindowSystem::Other:
        break;
    }
}

void setKeeperLauncher(KeeperLauncher l)
{
    launcher() = std::move(l);
}

} // namespace zorvik::platform
