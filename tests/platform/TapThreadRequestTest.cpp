// The request the main thread makes of the tap thread before sleep: served
// there, between events, once however many asked; waiting bounded; nothing
// asked of a tap that is gone.

#include "platform/TapThreadRequest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using kestrune::TapThreadRequest;
using namespace std::chrono_literals;

namespace {

// A tap thread: serves whenever woken, until told to end.
class TapThread {
public:
    explicit TapThread(TapThreadRequest& request) : request_(request)
    {
        thread_ = std::thread([this] { run(); });
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return attached_; });
    }
    ~TapThread()
    {
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    int served() const { return served_.load(); }
    bool servedOnItsThread() const { return onItsThread_.load(); }

private:
    void run()
    {
        const std::thread::id self = std::this_thread::get_id();
        request_.attach([this] {
            // Called under the request's lock; this thread never holds
            // mutex_ while it takes that one.
            std::lock_guard lock(mutex_);
            woken_ = true;
            changed_.notify_all();
        });
        std::unique_lock lock(mutex_);
        attached_ = true;
        changed_.notify_all();
        for (;;) {
            changed_.wait(lock, [&] { return ending_ || woken_; });
            if (ending_)
                break;
            woken_ = false;
            lock.unlock();
            request_.serve([&] {
                ++served_;
                onItsThread_ = std::this_thread::get_id() == self;
            });
            lock.lock();
        }
        lock.unlock();
        request_.detach();
    }

    TapThreadRequest& request_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool woken_ = false;
    bool attached_ = false;
    bool ending_ = false;
    std::atomic<int> served_{0};
    std::atomic<bool> onItsThread_{false};
};

TEST(TapThreadRequest, IsServedOnTheTapThreadBeforeTheWaitEnds)
{
    TapThreadRequest request;
    TapThread tap(request);
    EXPECT_TRUE(request.requestAndWait(10s));
    EXPECT_EQ(tap.served(), 1);
    EXPECT_TRUE(tap.servedOnItsThread());
    EXPECT_TRUE(request.requestAndWait(10s));
    EXPECT_EQ(tap.served(), 2) << "each sleep is its own request";

    // Asked from several threads at once: each is let go once served, and
    // the work never runs more often than it was asked for.
    std::atomic<int> done{0};
    std::thread a([&] { done += request.requestAndWait(10s) ? 1 : 0; });
    std::thread b([&] { done += request.requestAndWait(10s) ? 1 : 0; });
    a.join();
    b.join();
    EXPECT_EQ(done.load(), 2);
    EXPECT_GE(tap.served(), 3);
    EXPECT_LE(tap.served(), 4);
}

TEST(TapThreadRequest, WithoutATapNothingIsAskedAndNothingWaits)
{
    TapThreadRequest request;
    EXPECT_FALSE(request.requestAndWait(10s)) << "no tap attached: at once";

    { TapThread tap(request); }
    EXPECT_FALSE(request.requestAndWait(10s)) << "the tap has gone";

    // A tap that never serves: the wait ends at the guard.
    request.attach([] {});
    EXPECT_FALSE(request.requestAndWait(1ms));
    // A later tap does not owe what was asked of this one.
    int served = 0;
    request.attach([] {});
    request.serve([&] { ++served; });
    EXPECT_EQ(served, 0);
}

} // namespace
