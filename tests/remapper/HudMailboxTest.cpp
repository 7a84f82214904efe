// The Hyper HUD requests from the tap thread: one main-queue pass per burst,
// the burst replayed as its first and last requests, and a pass that outlives
// its remapper doing nothing.

#include "base/VirtualScheduler.h"
#include "remapper/HudMailbox.h"
#include "remapper/KeyProcessingConstants.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <atomic>
#include <thread>

namespace kestrune {
namespace {

class RecordingHud final : public HudRequests {
public:
    void showHyperHUD(Millis delay) override { calls << QStringLiteral("show %1").arg(delay.count()); }
    void hideHyperHUD() override { calls << QStringLiteral("hide"); }
    void setPendingHyperConfig(config::HyperKeyConfig) override {}
    void showInputModeHUD(InputMode) override {}
    QStringList calls;
};

struct Rig {
    VirtualScheduler scheduler;
    RecordingHud hud;
    HudMailbox* box = HudMailbox::create(scheduler, &hud);
    ~Rig() { box->retire(); }
};

TEST(HudMailbox, ABurstIsOnePassReplayedAsItsFirstAndLastRequests)
{
    Rig r;
    r.box->showHyperHUD();
    r.box->hideHyperHUD();
    EXPECT_EQ(r.scheduler.pendingCount(false), 1u) << "one pass for the whole burst";
    r.scheduler.runDue();
    EXPECT_EQ(r.hud.calls, (QStringList{"show 200", "hide"})) << "a tap within one burst";

    r.hud.calls.clear();
    r.box->hideHyperHUD(); // the end of a hold, then two more taps
    r.box->showHyperHUD();
    r.box->hideHyperHUD();
    r.box->showHyperHUD();
    r.scheduler.runDue();
    EXPECT_EQ(r.hud.calls, (QStringList{"hide", "show 200"})) << "ends as the last request left it";

    r.hud.calls.clear();
    r.box->showHyperHUD();
    r.scheduler.runDue();
    r.box->hideHyperHUD();
    r.scheduler.runDue();
    EXPECT_EQ(r.hud.calls, (QStringList{"show 200", "hide"})) << "separate passes stay separate";
    EXPECT_EQ(r.scheduler.pendingCount(false), 0u);
}

TEST(HudMailbox, APassQueuedWhenItsOwnerWentAwayDoesNothing)
{
    VirtualScheduler scheduler;
    RecordingHud hud;
    HudMailbox* box = HudMailbox::create(scheduler, &hud);
    box->showHyperHUD();
    box->retire(); // the remapper is destroyed with the pass still queued
    scheduler.runDue();
    EXPECT_TRUE(hud.calls.isEmpty());
}

TEST(HudMailbox, RequestsFromAnotherThreadAreNeitherLostNorDoubled)
{
    Rig r;
    constexpr int kTaps = 20000;
    std::atomic<bool> done{false};
    std::thread tap([&] {
        for (int i = 0; i < kTaps; ++i) {
            r.box->showHyperHUD();
            r.box->hideHyperHUD();
        }
        done = true;
    });
    // The main thread runs passes while the requests come.
    while (!done)
        r.scheduler.runDue();
    tap.join();
    r.scheduler.runDue();
    ASSERT_FALSE(r.hud.calls.isEmpty());
    EXPECT_EQ(r.hud.calls.back(), QLatin1String("hide")) << "the HUD ends hidden, as the last request left it";
    for (qsizetype i = 1; i < r.hud.calls.size(); ++i)
        EXPECT_NE(r.hud.calls[i], r.hud.calls[i - 1]) << "requests alternate, as Caps Lock's transitions do";
}

} // namespace
} // namespace kestrune
