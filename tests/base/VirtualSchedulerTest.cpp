#include "base/VirtualScheduler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using kestrune::Millis;
using kestrune::VirtualScheduler;

namespace {

TEST(VirtualScheduler, RunsAtTheDeadlineByDeadlineThenPostingOrder)
{
    VirtualScheduler s;
    std::string log;
    s.postAfter(200ms, [&] { log += "c"; });
    s.postAfter(100ms, [&] {
        log += "a";
        EXPECT_EQ(s.now(), 100ms);
        s.post([&] { log += "x"; });           // same deadline: after b, within this call
        s.postAfter(50ms, [&] { log += "y"; }); // before c
    });
    s.postAfter(100ms, [&] { log += "b"; });

    s.advanceBy(99ms);
    EXPECT_EQ(log, "");
    EXPECT_EQ(s.nextDeadline(false), 100ms);
    s.advanceBy(1ms);
    EXPECT_EQ(log, "abx");
    s.advanceBy(99ms);
    EXPECT_EQ(log, "abxy");
    s.advanceBy(500ms);
    EXPECT_EQ(log, "abxyc");
    EXPECT_EQ(s.now(), 699ms);
    EXPECT_EQ(s.pendingCount(true), 0u);
}

TEST(VirtualScheduler, RepeatsUntilCancelledAndSkipsCancelledWork)
{
    VirtualScheduler s;
    std::vector<Millis> firedAt;
    int afterWork = 0;
    s.setAfterWorkHook([&] { ++afterWork; });
    kestrune::WorkItemPtr timer = s.repeat(100ms, [&] {
        firedAt.push_back(s.now());
        if (firedAt.size() == 4)
            timer->cancel();
    });
    s.postAfter(50ms, [&] { firedAt.push_back(-1ms); })->cancel();
    EXPECT_EQ(s.pendingCount(false), 0u);
    EXPECT_EQ(s.pendingCount(true), 1u);
    EXPECT_EQ(s.nextDeadline(false), std::nullopt);

    s.advanceBy(350ms); // one call crosses three firings
    EXPECT_EQ(firedAt, (std::vector<Millis>{100ms, 200ms, 300ms}));
    s.advanceBy(1000ms);
    EXPECT_EQ(firedAt.back(), 400ms);
    EXPECT_EQ(firedAt.size(), 4u);
    EXPECT_EQ(afterWork, 4);
}

TEST(VirtualScheduler, RunUntilIdleStopsWhenIdleOrAtTheLimit)
{
    VirtualScheduler s;
    int ticks = 0;
    auto timer = s.repeat(1000ms, [&] { ++ticks; });
    s.postAfter(1500ms, [&] { s.postAfter(1500ms, [] {}); });
    s.runUntilIdle(std::chrono::hours(1));
    EXPECT_EQ(s.now(), 3000ms); // a repeating timer alone does not keep time going
    EXPECT_EQ(ticks, 3);

    std::function<void()> forever = [&] { s.postAfter(1000ms, forever); };
    s.post(forever);
    s.runUntilIdle(10'500ms);
    EXPECT_EQ(s.now(), 13'500ms);
    EXPECT_EQ(s.pendingCount(false), 1u);
}

// Other threads post and cancel while the owner drives the clock: all work
// runs once, on the driving thread, in each poster's order; work cancelled
// before its time never runs.
TEST(VirtualScheduler, PostingAndCancellingFromOtherThreads)
{
    constexpr int kThreads = 3;
    constexpr int kPerThread = 300;
    VirtualScheduler s;
    const auto mainId = std::this_thread::get_id();
    std::vector<int> lastSeen(kThreads, -1);
    int ran = 0;
    bool ok = true;
    std::vector<kestrune::WorkItemPtr> doomed;
    for (int i = 0; i < kPerThread; ++i)
        doomed.push_back(s.postAfter(Millis(i), [&] { ok = false; }));

    std::atomic<int> finished{0};
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        for (auto& item : doomed)
            item->cancel();
        finished.fetch_add(1);
    });
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                s.post([&, t, i] {
                    ok = ok && lastSeen[t] == i - 1 && std::this_thread::get_id() == mainId;
                    lastSeen[t] = i;
                    ++ran;
                });
            }
            finished.fetch_add(1);
        });
    }
    threads.front().join(); // every doomed item is cancelled before time reaches it
    while (finished.load() <= kThreads || s.pendingCount(true) > 0)
        s.advanceBy(1ms);
    for (auto& t : threads)
        if (t.joinable())
            t.join();

    EXPECT_TRUE(ok);
    EXPECT_EQ(ran, kThreads * kPerThread);
}

} // namespace
