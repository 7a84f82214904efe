// start/stop, the tap thread, the trust poll, the revocation watch, the
// debounced re-apply, the launch and termination sequences, and the
// permission monitor: every deadline just before and at its time.

#include "RemapperFixture.h"

namespace kestrune::testing {
namespace {

TEST_F(RemapperTest, StartTwiceMakesNoSecondTapAndNoSecondReset)
{
    SimHarness& h = launched();
    ASSERT_TRUE(h.remapper.hasEventTap());
    const int from = mark();
    h.remapper.start();
    h.settle();
    EXPECT_EQ(h.sim.keyboard().tapsCreated(), 1);
    EXPECT_TRUE(effects(from).isEmpty());
}

TEST_F(RemapperTest, StopThenStartAtOnceEndsWithOneRunningTap)
{
    SimHarness& h = launched();
    h.remapper.setIsEnabled(false);
    h.remapper.setIsEnabled(true); // before the old tap thread has wound down
    h.settle();
    EXPECT_TRUE(h.remapper.hasEventTap());
    EXPECT_EQ(h.sim.keyboard().tapsCreated(), 2);
    EXPECT_TRUE(h.sim.keyboard().hasInstalledTap());
    h.sim.keyboard().physicalDown(kc::kVK_CapsLock);
    h.sim.keyboard().physicalPress(8);
    EXPECT_TRUE(effects().contains("out down 8 cmd+opt+ctrl+shift"));
}

TEST_F(RemapperTest, WithoutTrustItPollsEverySecondAndStartsOnceGranted)
{
    SimHarness& h = make();
    h.sim.trust().setTrusted(false);
    h.launch();
    EXPECT_FALSE(h.remapper.hasEventTap());
    EXPECT_TRUE(h.remapper.isPollingForTrust());
    EXPECT_EQ(h.sim.console().lines(), QStringList{"Error: Kestrune cannot read the keyboards."});
    EXPECT_FALSE(h.sim.shell().isCapsLockMappedToF19()) << "Caps Lock must work while waiting";
    h.advance(Millis{2500});
    EXPECT_EQ(h.sim.console().lines().size(), 1) << "the error is printed once";

    h.sim.trust().setTrusted(true);
    h.advance(Millis{499}); // the tick at 3000 ms has not come
    EXPECT_FALSE(h.remapper.hasEventTap());
    EXPECT_FALSE(h.permissions.isTrusted());
    h.advance(Millis{1});
    EXPECT_TRUE(h.remapper.hasEventTap());
    EXPECT_FALSE(h.remapper.isPollingForTrust());
    EXPECT_TRUE(h.sim.shell().isCapsLockMappedToF19());
    EXPECT_TRUE(h.permissions.isTrusted()) << "the interface follows the remapper";
}

TEST_F(RemapperTest, SystemSettingsInFrontWatchesTrustEveryHalfSecond)
{
    SimHarness& h = launched();
    h.sim.workspace().setFrontmost(QStringLiteral("com.apple.Preferences"));
    EXPECT_TRUE(h.remapper.isWatchingPermission());
    h.sim.workspace().setFrontmost(QStringLiteral("com.apple.Safari"));
    EXPECT_FALSE(h.remapper.isWatchingPermission());

    h.sim.workspace().setFrontmost(QStringLiteral("com.apple.systempreferences"));
    h.advance(Millis{100});
    h.sim.trust().setTrusted(false);
    h.advance(Millis{399}); // the first tick is at 500 ms after activation
    EXPECT_TRUE(h.remapper.hasEventTap());
    EXPECT_TRUE(h.sim.shell().isCapsLockMappedToF19());
    h.advance(Millis{1});
    EXPECT_FALSE(h.remapper.hasEventTap());
    EXPECT_FALSE(h.sim.shell().isCapsLockMappedToF19());
    EXPECT_TRUE(h.remapper.isPollingForTrust());
    EXPECT_FALSE(h.remapper.isWatchingPermission());
    EXPECT_FALSE(h.permissions.isTrusted());

    h.sim.trust().setTrusted(true);
    h.advance(Millis{1000});
    EXPECT_TRUE(h.remapper.hasEventTap());
    EXPECT_TRUE(h.permissions.isTrusted());
}

TEST_F(RemapperTest, TheWatchStopsItselfWhenThereIsNoTap)
{
    SimHarness& h = launched();
    h.remapper.setIsEnabled(false);
    h.remapper.handleAppActivation(QStringLiteral("com.apple.systempreferences"));
    EXPECT_TRUE(h.remapper.isWatchingPermission());
    h.advance(Millis{500});
    EXPECT_FALSE(h.remapper.isWatchingPermission());
    EXPECT_FALSE(h.remapper.isPollingForTrust());
}

TEST_F(RemapperTest, DeviceArrivalsReapplyOnceAfterTheLast)
{
    SimHarness& h = launched();
    h.advance(Millis{1500}); // the attached keyboard's re-apply
    const int from = mark();
    h.sim.devices().arrive();
    h.advance(Millis{1000});
    h.sim.devices().arrive();
    h.advance(Millis{1499});
    EXPECT_TRUE(effects(from).isEmpty());
    h.advance(Millis{1});
    EXPECT_EQ(effects(from), QStringList{shell(kApply)});
    h.advance(Millis{10'000});
    EXPECT_EQ(effects(from).size(), 1);
}

TEST_F(RemapperTest, WakeReappliesAndStopCancelsAPendingReapply)
{
    SimHarness& h = launched();
    h.advance(Millis{1500});
    int from = mark();
    h.sim.wake().wake();
    h.advance(Millis{1500});
    EXPECT_EQ(effects(from), QStringList{shell(kApply)});

    h.sim.wake().wake();
    h.remapper.setIsEnabled(false);
    from = mark();
    h.advance(Millis{5000});
    EXPECT_TRUE(effects(from).isEmpty());
    EXPECT_FALSE(h.sim.wake().hasHandler());
    EXPECT_FALSE(h.sim.devices().isStarted());
}

TEST_F(RemapperTest, ATapDisabledByTimeoutResumesAtOnce)
{
    SimHarness& h = launched();
    h.sim.keyboard().injectTapDisabled(EventType::TapDisabledByTimeout);
    EXPECT_TRUE(h.sim.keyboard().isTapEnabled());
    h.sim.keyboard().physicalDown(kc::kVK_CapsLock);
    h.sim.keyboard().physicalPress(8);
    EXPECT_TRUE(effects().contains("out down 8 cmd+opt+ctrl+shift"));
}

TEST_F(RemapperTest, ATapDisabledByUserInputIsTornDownAndComesBackThroughThePoll)
{
    SimHarness& h = launched();
    h.sim.keyboard().physicalDown(kc::kVK_CapsLock);
    h.sim.keyboard().injectTapDisabled(EventType::TapDisabledByUserInput);
    h.settle();
    EXPECT_FALSE(h.remapper.hasEventTap());
    EXPECT_FALSE(h.sim.shell().isCapsLockMappedToF19());
    EXPECT_TRUE(h.remapper.isPollingForTrust());
    h.sim.keyboard().physicalUp(kc::kVK_CapsLock);
    h.advance(Millis{1000});
    ASSERT_TRUE(h.remapper.hasEventTap());
    // Hyper was not left held by the torn-down tap.
    const int from = mark();
    h.sim.keyboard().physicalPress(8);
    EXPECT_EQ(effects(from), (QStringList{"out down 8 -", "out up 8 -"}));
}

TEST_F(RemapperTest, TerminationResetsOnceAndSaysSo)
{
    SimHarness& h = launched();
    const int from = mark();
    h.delegate.applicationWillTerminate();
    h.delegate.applicationWillTerminate();
    EXPECT_EQ(effects(from), (QStringList{shell(kReset), "print Quitting: the keyboards go back to the desktop as they were."}));
}

TEST_F(RemapperTest, TheWelcomeWindowIsScheduledOnlyBeforeOnboardingIsDone)
{
    for (bool seen : {false, true}) {
        harness_.reset();
        store("hasSeenOnboarding", seen);
        SimHarness& h = make();
        int shown = 0;
        AppDelegate delegate(h.platform, h.remapper, h.permissions, {[&] { ++shown; }, {}});
        delegate.applicationDidFinishLaunching();
        EXPECT_EQ(shown, 0) << "shown after the launch callback has returned";
        h.settle();
        EXPECT_EQ(shown, seen ? 0 : 1);
    }
}

TEST_F(RemapperTest, PermissionManagerPublishesOnTheMainQueueAndMonitorsEveryTenSeconds)
{
    SimHarness& h = make();
    PermissionManager& pm = h.permissions;
    EXPECT_FALSE(pm.isTrusted()) << "false until the first check has been published";
    h.settle();
    EXPECT_TRUE(pm.isTrusted());

    int published = 0;
    QObject::connect(&pm, &PermissionManager::isTrustedChanged, [&] { ++published; });
    pm.startMonitoring();
    pm.startMonitoring(); // restarts; still one timer
    h.settle();
    EXPECT_EQ(published, 2);
    h.advance(Millis{9999});
    EXPECT_EQ(published, 2);
    h.advance(Millis{1});
    EXPECT_EQ(published, 3) << "one timer, not two";
    pm.handleAppDidBecomeActive();
    h.settle();
    EXPECT_EQ(published, 4);
    pm.stopMonitoring();
    pm.stopMonitoring();
    pm.handleAppDidBecomeActive();
    h.advance(Millis{30'000});
    EXPECT_EQ(published, 4);
}

TEST_F(RemapperTest, RequestingPermissionPromptsAndOpensSettingsOnlyWhenMissing)
{
    SimHarness& h = make();
    h.permissions.requestPermission();
    h.settle();
    EXPECT_EQ(h.sim.trust().settingsOpenCount(), 0);
    h.sim.trust().setTrusted(false);
    h.permissions.requestPermission();
    h.settle();
    EXPECT_EQ(h.sim.trust().promptCount(), 2);
    EXPECT_EQ(h.sim.trust().settingsOpenCount(), 1);
    EXPECT_FALSE(h.permissions.isTrusted());
}

} // namespace
} // namespace kestrune::testing
