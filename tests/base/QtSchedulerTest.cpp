// The one place tests use real time: the Qt event loop with timers of a few
// milliseconds. Only order and counts are checked, never durations.

#include "base/QtScheduler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <string>
#include <thread>

using namespace std::chrono_literals;
using kestrune::QtScheduler;

namespace {

class QtSchedulerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_base";
        static char* argv[] = {name, nullptr};
        app_ = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() { delete app_; }

    // Runs the event loop until work quits it; false when a generous guard
    // had to, so that a fault fails the test instead of hanging it.
    bool runLoop()
    {
        bool timedOut = false;
        QTimer::singleShot(10s, &loop_, [&] {
            timedOut = true;
            loop_.quit();
        });
        loop_.exec();
        return !timedOut;
    }

    static inline QCoreApplication* app_ = nullptr;
    QEventLoop loop_;
};

TEST_F(QtSchedulerTest, WorkFromAnyThreadRunsOnTheMainThreadInPostingOrder)
{
    QtScheduler s;
    std::string posted, delayed;
    bool onMain = true;
    auto note = [&](std::string& log, char c) {
        return [&, c] {
            log += c;
            onMain = onMain && QThread::currentThread() == app_->thread();
            if (delayed.size() == 2)
                loop_.quit();
        };
    };
    // Joined before the loop runs, so the posting order is fixed. The delayed
    // work fires only if its timer was started on the main thread; which of
    // the two comes first depends on how long the thread took.
    s.post(note(posted, 'a'));
    std::thread([&] {
        s.post(note(posted, 'b'));
        s.post(note(posted, 'c'));
        s.postAfter(3ms, note(delayed, 'x'));
    }).join();
    s.post(note(posted, 'd'));
    s.postAfter(1ms, note(delayed, 'y'));

    ASSERT_TRUE(runLoop());
    EXPECT_EQ(posted, "abcd");
    EXPECT_TRUE(onMain);
}

TEST_F(QtSchedulerTest, CancelledWorkNeverRuns)
{
    QtScheduler s;
    bool cancelledRan = false;
    s.postAfter(1ms, [&] { cancelledRan = true; })->cancel();
    kestrune::WorkItemPtr fromThread;
    std::thread([&] { fromThread = s.postAfter(1ms, [&] { cancelledRan = true; }); }).join();
    fromThread->cancel();

    // `own` cancels itself in its work and `other` from outside; neither may
    // tick again before the loop ends, well after both would have.
    int ownTicks = 0, otherTicks = 0, otherTicksAtCancel = -1;
    kestrune::WorkItemPtr own, other;
    own = s.repeat(1ms, [&] {
        if (++ownTicks < 3)
            return;
        own->cancel();
        other->cancel();
        otherTicksAtCancel = otherTicks;
        s.postAfter(20ms, [&] { loop_.quit(); });
    });
    other = s.repeat(1ms, [&] { ++otherTicks; });

    ASSERT_TRUE(runLoop());
    EXPECT_FALSE(cancelledRan);
    EXPECT_EQ(ownTicks, 3);
    EXPECT_EQ(otherTicks, otherTicksAtCancel);
}

} // namespace
