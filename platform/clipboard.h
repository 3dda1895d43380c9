#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace zorvik::platform {

// Puts |text| on the clipboard as the program's output.
void copyToClipboard(const QString &text);

enum class WindowSystem { Other, X11, Wayland };

// What the window system the program runs on tells of its clipboard.
struct ClipboardDesktop {
    WindowSystem system = WindowSystem::Other;
    // A clipboard manager has asked to be handed the clipboard when its owner ends (X11);
    // the toolkit then hands it over by itself.
    bool managerTakesOver = false;
};

ClipboardDesktop currentDesktop();

// Runs as the program ends, while the application object still exists. The clipboard of X11
// and of Wayland lives in the program that put the text there, so the text would go with it;
// when the clipboard still holds the text copied last and no clipboard manager takes it over,
// it goes to a keeper program that serves it from the background until another program takes
// the clipboard: xclip on X11, wl-copy on Wayland. Where none is installed, the text goes.
void keepCopiedText(const ClipboardDesktop &desktop = currentDesktop());

// Starts |program| with |arguments| apart from this process, with |input| as its standard
// input, and returns at once; a program that is not installed is not started. Tests put a
// recorder in its place; an empty launcher restores the real one.
using KeeperLauncher = std::function<void(const QString &program, const QStringList &arguments,
                                          const QByteArray &input)>;
void setKeeperLauncher(KeeperLauncher launcher);
void launchKeeper(const QString &program, const QStringList &arguments, const QByteArray &input);

} // namespace zorvik::platform
