// SIGINT, SIGTERM, SIGHUP and SIGQUIT end the event loop the way a quit from
// the menu does, so the termination reset runs; the terminal's stop signals
// never stop the process.

#include "app/SignalQuit.h"

#include <QCoreApplication>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrune {
namespace {

TEST(SignalQuit, QuitSignalsQuitTheEventLoop)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ASSERT_TRUE(SignalQuit::install(&app));
    int quits = 0;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&] { ++quits; });

    // The handler only wakes the loop, so raising before exec() is enough
    // and nothing waits on a clock.
    std::raise(SIGINT);
    EXPECT_EQ(app.exec(), 0);
    std::raise(SIGTERM);
    EXPECT_EQ(app.exec(), 0);
    std::raise(SIGHUP); // the terminal that started it closed
    EXPECT_EQ(app.exec(), 0);
    std::raise(SIGQUIT); // Ctrl+\ (default: a core dump with the grabs in place)
    EXPECT_EQ(app.exec(), 0);
    EXPECT_EQ(quits, 4);
}

// Ctrl+Z in the terminal that started Kestrune, or a read or write of that
// terminal from the background: a stopped process would hold every keyboard.
// Run in a child, so that a stop shows as a stopped child, not a hung test.
TEST(SignalQuit, TerminalStopSignalsDoNotStopTheProcess)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int argc = 1;
        char name[] = "child";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        if (!SignalQuit::install(&app))
            ::_exit(2);
        std::raise(SIGTSTP);
        std::raise(SIGTTIN);
        std::raise(SIGTTOU);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    if (WIFSTOPPED(status)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "stopped by signal " << WSTOPSIG(status);
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The handler may run between a failed call and the look at its errno.
// Nothing reads the wake-up socket here, so it fills and the handler's own
// writes start failing: errno must still read as the interrupted code left it.
TEST(SignalQuit, TheHandlerLeavesErrnoAsItWas)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int argc = 1;
        char name[] = "child";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        if (!SignalQuit::install(&app))
            ::_exit(2);
        for (int i = 0; i < 10000; ++i) {
            errno = EDOM;
            std::raise(SIGINT);
            if (errno != EDOM)
                ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "errno changed under the interrupted code";
}

} // namespace
} // namespace kestrune
