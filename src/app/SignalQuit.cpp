#include "app/SignalQuit.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrune {

namespace {
int signalFds[2] = {-1, -1};

extern "C" void onQuitSignal(int)
{
    // Only async-signal-safe work here: wake the event loop. The code
    // interrupted may be about to read errno, which a failed write (the
    // socket full of earlier wake-ups) would otherwise change under it.
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalFds[0], &byte, 1);
    errno = savedErrno;
}
} // namespace

SignalQuit::SignalQuit(QObject* parent) : QObject(parent)
{
    notifier_ = new QSocketNotifier(signalFds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [] {
        char buffer[16];
        [[maybe_unused]] const ssize_t n = ::read(signalFds[1], buffer, sizeof buffer);
        QCoreApplication::quit();
    });
}

bool SignalQuit::install(QObject* parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalFds) != 0)
        return false;
    new SignalQuit(parent);
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    bool ok = true;
    for (const int quit : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        ok &= ::sigaction(quit, &action, nullptr) == 0;
    // A stopped process would keep every keyboard grabbed and the keys it
    // holds pressed, and no keyboard could then type the command that
    // resumes it: the terminal's stop signals are refused.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (const int stop : {SIGTSTP, SIGTTIN, SIGTTOU})
        ok &= ::sigaction(stop, &ignore, nullptr) == 0;
    return ok;
}

} // namespace kestrune
