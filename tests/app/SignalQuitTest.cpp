// SIGINT and SIGTERM end the event loop the way a quit from the menu does,
// so the termination reset runs.

#include "app/SignalQuit.h"

#include <QCoreApplication>
#include <csignal>
#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(SignalQuit, SigintAndSigtermQuitTheEventLoop)
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
    EXPECT_EQ(quits, 2);
}

} // namespace
} // namespace kestrune
