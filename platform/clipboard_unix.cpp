#include "platform/clipboard.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zorvik::platform {

namespace {

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};

// An ICCCM clipboard manager owns the selection CLIPBOARD_MANAGER; the toolkit asks it to
// take the clipboard over as the program ends.
bool x11ClipboardManagerRuns()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    static constexpr char name[] = "CLIPBOARD_MANAGER";
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, true, sizeof name - 1, name), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const std::unique_ptr<xcb_get_selection_owner_reply_t, FreeReply> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                      nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

// The program's end waits for the keeper to take the map; a keeper that does not read (hung,
// stopped, or another program of its name) may hold it up this long, and then loses what it has
// not read.
constexpr int handOverMilliseconds = 1000;

// Writes |input| into |pipe|, whose writes do not block, until it is all written, the keeper has
// closed its end, or the time is up.
void handOver(int pipe, const QByteArray &input)
{
    const QDeadlineTimer deadline(handOverMilliseconds);
    for (qsizetype written = 0; written < input.size();) {
        const ssize_t n =
            write(pipe, input.constData() + written, static_cast<size_t>(input.size() - written));
        if (n > 0) {
            written += n;
            continue;
        }
        if (n == 0 || (errno != EINTR && errno != EAGAIN))
            return;
        pollfd writable{pipe, POLLOUT, 0};
        if (errno == EAGAIN && poll(&writable, 1, int(deadline.remainingTime())) == 0)
            return;
    }
}

} // namespace

ClipboardDesktop currentDesktop()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return {WindowSystem::X11, x11ClipboardManagerRuns()};
    // Wayland lets a program see no clipboard manager; one that keeps the clipboard takes it
    // as soon as it changes, which keepCopiedText() sees as the clipboard no longer ours.
    if (platform.startsWith(QLatin1String("wayland")))
        return {WindowSystem::Wayland, false};
    return {};
}

void launchKeeper(const QString &program, const QStringList &arguments, const QByteArray &input)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return;
    // Everything the child uses is made before the fork: a child of a program with threads may
    // call nothing but async-signal-safe functions until it runs the keeper.
    std::vector<QByteArray> words{QFile::encodeName(path)};
    for (const QString &argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const long openMax = sysconf(_SC_OPEN_MAX);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK);
    const pid_t child = fork();
    if (child == 0) {
        // The keeper runs in a grandchild of a session of its own, which init adopts: it
        // outlives this program, and no terminal's hang-up ends it.
        setsid();
        if (fork() != 0)
            _exit(0);
        const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
        dup2(pipeEnds[0], STDIN_FILENO);
        fcntl(STDIN_FILENO, F_SETFD, 0);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        // The keeper may run for hours: it keeps none of this program's files, sockets or
        // pipes open, whether they were to close on exec or not.
        if (close_range(STDERR_FILENO + 1, ~0u, 0) != 0) {
            for (long fd = STDERR_FILENO + 1; fd < openMax; ++fd)
                close(int(fd));
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[0]);
    if (child > 0) {
        waitpid(child, nullptr, 0);
        // A keeper that could not start has closed the pipe; writing then fails rather than
        // ending the program with SIGPIPE.
        std::signal(SIGPIPE, SIG_IGN);
        handOver(pipeEnds[1], input);
    }
    close(pipeEnds[1]);
}

} // namespace zorvik::platform
