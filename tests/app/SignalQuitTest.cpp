// SIGINT, SIGTERM, SIGHUP and SIGQUIT end the event loop the way a quit from
// the menu does, so the termination reset runs; a second one ends a process
// that hangs; the terminal's stop signals never stop the process. Each case
// runs in a child process: the handlers, and the ending a second signal
// sets off, stay there.

#include "app/SignalQuit.h"

#include <QCoreApplication>
#include <cerrno>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrune {
namespace {

using namespace std::chrono_literals;

// Runs `body` in a child with an application of its own; its result is the
// child's exit status. Returns how the child ended, as waitpid says (a child
// that stopped is killed, and reported stopped). A child still running after
// a guard of 10 s gets SIGALRM, so that a fault fails the test rather than
// hanging it.
int inChild(const std::function<int(QCoreApplication&)>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        int argc = 1;
        char name[] = "child";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        ::_exit(body(app));
    }
    int status = -1;
    if (child < 0 || ::waitpid(child, &status, WUNTRACED) != child)
        return -1;
    if (WIFSTOPPED(status)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    return status;
}

// The exit status of a child that exited, -1 for any other ending.
int exitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

TEST(SignalQuit, EachQuitSignalQuitsTheEventLoop)
{
    // SIGHUP: the terminal that started it closed; SIGQUIT: Ctrl+\ (by
    // default a core dump with the grabs in place).
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        const int status = inChild([signal](QCoreApplication& app) {
            if (!SignalQuit::install(&app))
                return 2;
            int quits = 0;
            QObject::connect(&app, &QCoreApplication::aboutToQuit, [&] { ++quits; });
            // The handler only wakes the loop, so raising before exec() is
            // enough and nothing waits on a clock.
            std::raise(signal);
            return app.exec() == 0 && quits == 1 ? 0 : 1;
        });
        EXPECT_EQ(exitStatus(status), 0) << strsignal(signal);
    }
}

// The orderly quit has its grace after a second signal: one that finishes
// within it ends as it would have; one that hangs (here the event loop never
// even runs) is ended once the grace is over.
TEST(SignalQuit, ASecondSignalEndsAProcessWhoseQuitHangs)
{
    const int finished = inChild([](QCoreApplication& app) {
        if (!SignalQuit::install(&app, 1h))
            return 2;
        std::raise(SIGTERM);
        if (app.exec() != 0)
            return 1;
        std::raise(SIGINT); // during the termination reset
        QCoreApplication::processEvents();
        return 0;
    });
    EXPECT_EQ(exitStatus(finished), 0);

    const int hung = inChild([](QCoreApplication& app) {
        if (!SignalQuit::install(&app, 1ms))
            return 2;
        std::raise(SIGTERM);
        std::raise(SIGINT);
        for (;;)
            ::pause();
    });
    EXPECT_EQ(exitStatus(hung), 128 + SIGINT);
}

// Ctrl+Z in the terminal that started Kestrune, or a read or write of that
// terminal from the background: a stopped process would hold every keyboard.
TEST(SignalQuit, TerminalStopSignalsDoNotStopTheProcess)
{
    const int status = inChild([](QCoreApplication& app) {
        if (!SignalQuit::install(&app))
            return 2;
        std::raise(SIGTSTP);
        std::raise(SIGTTIN);
        std::raise(SIGTTOU);
        return 0;
    });
    EXPECT_FALSE(WIFSTOPPED(status)) << "stopped by signal " << WSTOPSIG(status);
    EXPECT_EQ(exitStatus(status), 0);
}

// The handler may run between a failed call and the look at its errno.
// Nothing reads the wake-up socket here, so it fills and the handler's own
// writes start failing: errno must still read as the interrupted code left it.
TEST(SignalQuit, TheHandlerLeavesErrnoAsItWas)
{
    const int status = inChild([](QCoreApplication& app) {
        if (!SignalQuit::install(&app, 1h))
            return 2;
        for (int i = 0; i < 10000; ++i) {
            errno = EDOM;
            std::raise(SIGINT);
            if (errno != EDOM)
                return 1;
        }
        return 0;
    });
    EXPECT_EQ(exitStatus(status), 0) << "errno changed under the interrupted code";
}

} // namespace
} // namespace kestrune
