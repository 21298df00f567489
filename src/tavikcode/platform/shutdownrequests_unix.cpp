#include "shutdownrequests.h"

// Q_OS_WIN comes from Qt's headers: without one before the test, Windows
// would build the signal handlers.
#include <QtGlobal>

#ifndef Q_OS_WIN

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <utility>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

// All a signal handler may safely do: write one byte. The notifier on the
// other end runs the closing on the user-interface thread.
extern "C" void noteSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The signals this process handles: not those ignored at start (nohup
// ignores SIGHUP, a background shell job SIGINT), which stay ignored.
bool g_handled[std::size(kSignals)] = {};
struct sigaction g_before[std::size(kSignals)] = {}; // restored at the end

} // namespace

ShutdownRequests::ShutdownRequests(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return; // the signals then end the program as they would without us
    // A flood of signals must never block the handler.
    ::fcntl(g_signalPipe[1], F_SETFL, ::fcntl(g_signalPipe[1], F_GETFL) | O_NONBLOCK);
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], bytes, sizeof bytes);
        emit requested();
    });
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        g_handled[i] = ::sigaction(kSignals[i], nullptr, &g_before[i]) == 0
            && g_before[i].sa_handler != SIG_IGN && ::sigaction(kSignals[i], &action, nullptr) == 0;
    }
}

ShutdownRequests::~ShutdownRequests()
{
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (std::exchange(g_handled[i], false))
            ::sigaction(kSignals[i], &g_before[i], nullptr);
    }
    for (int &fd : g_signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

#endif
