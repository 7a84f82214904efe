#include "app/SignalQuit.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrune {

namespace {
int signalFds[2] = {-1, -1};
// Quit signals so far; the handler runs on whichever thread the kernel picks.
std::atomic<int> quitSignals{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written in a signal handler");
// Set once before the handlers are installed.
timespec grace{};
#ifdef __linux__
timer_t graceTimer{};
#endif
volatile std::sig_atomic_t forcedStatus = 1;

extern "C" void onGraceOver(int) { ::_exit(forcedStatus); }

// Async-signal-safe: timer_settime and alarm both are.
void startGrace()
{
#ifdef __linux__
    itimerspec at{};
    at.it_value = grace;
    ::timer_settime(graceTimer, 0, &at, nullptr);
#else
    ::alarm(static_cast<unsigned>(grace.tv_sec + (grace.tv_nsec > 0 ? 1 : 0)));
#endif
}

extern "C" void onQuitSignal(int signal)
{
    // Only async-signal-safe work here. The code interrupted may be about to
    // read errno, which a failed write (the socket full of earlier wake-ups)
    // would otherwise change under it.
    const int savedErrno = errno;
    // A second signal: the orderly quit is not coming, or not fast enough.
    // It has the grace period to finish; then the process ends.
    if (quitSignals.fetch_add(1) == 1) {
        forcedStatus = 128 + signal;
        startGrace();
    }
    // Wakes the event loop, which quits.
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

bool SignalQuit::install(QObject* parent, std::chrono::milliseconds orderlyQuitGrace)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalFds) != 0)
        return false;
    // A zero time would disarm the timer rather than fire it.
    const auto graceNs = std::chrono::nanoseconds(std::max(orderlyQuitGrace, std::chrono::milliseconds(1)));
    grace.tv_sec = static_cast<time_t>(graceNs.count() / 1'000'000'000);
    grace.tv_nsec = static_cast<long>(graceNs.count() % 1'000'000'000);
#ifdef __linux__
    sigevent expiry{};
    expiry.sigev_notify = SIGEV_SIGNAL;
    expiry.sigev_signo = SIGALRM;
    if (::timer_create(CLOCK_MONOTONIC, &expiry, &graceTimer) != 0)
        return false;
#endif
    new SignalQuit(parent);
    bool ok = true;
    struct sigaction over {};
    over.sa_handler = onGraceOver;
    sigemptyset(&over.sa_mask);
    ok &= ::sigaction(SIGALRM, &over, nullptr) == 0;
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
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
