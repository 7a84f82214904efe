// HUDManager on the virtual clock with fake panels and the file-backed
// defaults: when each HUD appears, fades and goes, and what survives
// restarts, disabling, destruction and calls from the tap thread.

#include "base/FileDefaults.h"
#include "base/VirtualScheduler.h"
#include "hud/FakeHud.h"
#include "hud/HUDManager.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace kestrune;
using namespace std::chrono_literals;
using config::HyperKeyConfig;
using test::FakePanel;

namespace {

class HudManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        defaults = std::make_unique<FileDefaults>(dir.path());
    }

    // Creates the manager and lets the main queue make its first pass.
    void start()
    {
        hud = std::make_unique<HUDManager>(clock, *defaults, factory, screens);
        clock.runDue();
    }
    // Moves the virtual clock to `t`, running what falls due on the way.
    void at(Millis t)
    {
        ASSERT_GE(t, clock.now());
        clock.advanceBy(t - clock.now());
    }
    bool shownAt(FakePanel& panel, Millis t)
    {
        at(t);
        return panel.isShown();
    }
    // A fade to `to` over `duration` is under way.
    static bool fading(const FakePanel& panel, double to, Millis duration)
    {
        return panel.fade() && panel.fade()->to == to && panel.fade()->duration == duration;
    }
    FakePanel& hyper() { return *factory.hyper; }
    FakePanel& inputMode() { return *factory.inputMode; }
    bool noTimedWork() const { return !clock.nextDeadline(false).has_value(); }

    QTemporaryDir dir;
    std::unique_ptr<FileDefaults> defaults;
    VirtualScheduler clock;
    test::FakePanelFactory factory{clock};
    test::FakeScreens screens;
    std::unique_ptr<HUDManager> hud;
};

// --- Hyper HUD -----------------------------------------------------------

TEST_F(HudManagerTest, HyperAppearsAfterTheDelayAtTheBottomCentreAndFadesIn)
{
    hud = std::make_unique<HUDManager>(clock, *defaults, factory, screens);
    EXPECT_EQ(factory.builds, 0);
    clock.runDue(); // the panels exist, unshown, from the first pass on
    ASSERT_EQ(factory.builds, 2);
    EXPECT_FALSE(hyper().isShown() || inputMode().isShown());

    hud->showHyperHUD(200ms);
    EXPECT_FALSE(shownAt(hyper(), 199ms));
    EXPECT_FALSE(hud->hyperViewModel()->isVisible());
    EXPECT_TRUE(shownAt(hyper(), 200ms));
    EXPECT_TRUE(hud->hyperViewModel()->isVisible());
    EXPECT_EQ(hyper().size(), QSizeF(236, 76));
    // Usable area x 60…1920, bottom at 1040: centred, 80 above the bottom.
    EXPECT_EQ(hyper().position(), QPointF(990 - 118, 1040 - 80 - 76));
    EXPECT_TRUE(fading(hyper(), 1, 200ms));
    EXPECT_EQ(hyper().fade()->from, 0);

    at(399ms);
    EXPECT_LT(hyper().opacity(), 1);
    at(400ms);
    EXPECT_FALSE(hyper().fade());
    EXPECT_EQ(hyper().opacity(), 1);
    EXPECT_TRUE(hyper().isShown());
    EXPECT_TRUE(noTimedWork());
}

TEST_F(HudManagerTest, HyperStaysWhereItIsWithoutAScreen)
{
    screens.screen.reset();
    start();
    hyper().setPosition({12, 34});
    hud->showHyperHUD(200ms);
    EXPECT_TRUE(shownAt(hyper(), 200ms));
    EXPECT_EQ(hyper().position(), QPointF(12, 34));
}

TEST_F(HudManagerTest, HyperWaitsForTheHoldToLastTheWholeDelay)
{
    start();
    QSignalSpy visible(hud->hyperViewModel(), &HyperViewModel::isVisibleChanged);
    // A tap shorter than the delay shows nothing.
    hud->showHyperHUD(200ms);
    at(199ms);
    hud->hideHyperHUD();
    at(1000ms);
    EXPECT_EQ(hyper().frontCount, 0);
    EXPECT_EQ(visible.count(), 0);

    // A new request during the wait starts it again.
    hud->showHyperHUD(200ms);
    at(1150ms);
    hud->showHyperHUD(200ms);
    EXPECT_FALSE(shownAt(hyper(), 1349ms));
    EXPECT_TRUE(shownAt(hyper(), 1350ms));
    EXPECT_EQ(hyper().frontCount, 1);
}

TEST_F(HudManagerTest, HyperHideFadesOutThenHides)
{
    start();
    hud->showHyperHUD(200ms);
    at(1000ms);
    hud->hideHyperHUD();
    clock.runDue();
    EXPECT_TRUE(fading(hyper(), 0, 200ms));

    EXPECT_TRUE(shownAt(hyper(), 1199ms));
    EXPECT_TRUE(hud->hyperViewModel()->isVisible());
    EXPECT_FALSE(shownAt(hyper(), 1200ms));
    EXPECT_FALSE(hud->hyperViewModel()->isVisible());
    EXPECT_EQ(hyper().opacity(), 0);
}

TEST_F(HudManagerTest, HyperHideWhenNeverShownIsImmediate)
{
    start();
    hud->hideHyperHUD();
    clock.runDue();
    EXPECT_EQ(hyper().outCount, 1);
    EXPECT_FALSE(hyper().fade());
    EXPECT_TRUE(noTimedWork());
}

TEST_F(HudManagerTest, HyperHideDuringTheFadeInFadesOutFromWhereItIs)
{
    start();
    hud->showHyperHUD(200ms);
    at(300ms); // half-way through the fade-in
    hud->hideHyperHUD();
    clock.runDue();
    ASSERT_TRUE(fading(hyper(), 0, 200ms));
    EXPECT_NEAR(hyper().fade()->from, 0.5, 0.01);

    // The overtaken fade-in must not end at 400 ms and jump to full opacity.
    at(400ms);
    EXPECT_LT(hyper().opacity(), 0.5);
    EXPECT_TRUE(shownAt(hyper(), 499ms));
    EXPECT_FALSE(shownAt(hyper(), 500ms));
    EXPECT_FALSE(hud->hyperViewModel()->isVisible());
}

TEST_F(HudManagerTest, HyperShowsThePendingConfigOfItsPresentation)
{
    start();
    hud->setPendingHyperConfig(HyperKeyConfig::cmdOpt);
    hud->showHyperHUD(200ms);
    at(200ms);
    EXPECT_EQ(hud->hyperViewModel()->glyphs(), hyperGlyphs(HyperKeyConfig::cmdOpt));

    hud->setPendingHyperConfig(HyperKeyConfig::ctrlShift);
    at(600ms);
    EXPECT_EQ(hud->hyperViewModel()->config(), HyperKeyConfig::cmdOpt);

    hud->hideHyperHUD();
    at(900ms);
    hud->showHyperHUD(200ms);
    at(1099ms);
    EXPECT_EQ(hud->hyperViewModel()->config(), HyperKeyConfig::cmdOpt);
    at(1100ms);
    EXPECT_EQ(hud->hyperViewModel()->config(), HyperKeyConfig::ctrlShift);
}

// --- Input-mode HUD --------------------------------------------------------

TEST_F(HudManagerTest, InputModeFadesInHoldsThenFadesOut)
{
    start();
    hud->showInputModeHUD(InputMode::kana);
    clock.runDue();
    EXPECT_TRUE(hud->inputModeViewModel()->isKana());
    EXPECT_TRUE(hud->inputModeViewModel()->isVisible());
    EXPECT_TRUE(inputMode().isShown());
    // Centred on the whole screen, not on the usable area.
    EXPECT_EQ(inputMode().position(), QPointF(960 - 28, 540 - 28));
    EXPECT_TRUE(fading(inputMode(), 1, 100ms));
    EXPECT_EQ(inputMode().fade()->from, 0);

    at(99ms);
    EXPECT_TRUE(inputMode().fade());
    at(100ms);
    EXPECT_FALSE(inputMode().fade());
    EXPECT_EQ(inputMode().opacity(), 1);

    at(799ms);
    EXPECT_FALSE(inputMode().fade());
    at(800ms);
    EXPECT_TRUE(fading(inputMode(), 0, 300ms));

    EXPECT_TRUE(shownAt(inputMode(), 1099ms));
    EXPECT_TRUE(hud->inputModeViewModel()->isVisible());
    EXPECT_FALSE(shownAt(inputMode(), 1100ms));
    EXPECT_FALSE(hud->inputModeViewModel()->isVisible());
    EXPECT_EQ(inputMode().opacity(), 0);
    EXPECT_TRUE(noTimedWork());
}

TEST_F(HudManagerTest, InputModeSecondTapRestartsTheSameHud)
{
    start();
    QSignalSpy visible(hud->inputModeViewModel(), &InputModeViewModel::isVisibleChanged);
    hud->showInputModeHUD(InputMode::eisu);
    at(500ms);
    hud->showInputModeHUD(InputMode::kana);
    clock.runDue();
    EXPECT_TRUE(hud->inputModeViewModel()->isKana());
    ASSERT_TRUE(fading(inputMode(), 1, 100ms));
    EXPECT_EQ(inputMode().fade()->from, 0);

    // The first tap's hide, due at 800 ms, is gone.
    at(1299ms);
    EXPECT_FALSE(inputMode().fade());
    at(1300ms);
    EXPECT_TRUE(fading(inputMode(), 0, 300ms));
    EXPECT_TRUE(shownAt(inputMode(), 1599ms));
    EXPECT_FALSE(shownAt(inputMode(), 1600ms));

    // One appearance and one disappearance: the view's pop played once.
    EXPECT_EQ(visible.count(), 2);
    EXPECT_EQ(factory.builds, 2); // one panel per HUD, reused
}

TEST_F(HudManagerTest, InputModeTapDuringTheFadeOutKeepsItUp)
{
    start();
    hud->showInputModeHUD(InputMode::eisu);
    at(1000ms); // fading out since 800 ms
    hud->showInputModeHUD(InputMode::kana);
    clock.runDue();

    // The overtaken fade-out would have ended at 1100 ms.
    EXPECT_TRUE(shownAt(inputMode(), 1100ms));
    EXPECT_TRUE(hud->inputModeViewModel()->isVisible());
    EXPECT_EQ(inputMode().opacity(), 1);
    at(1799ms);
    EXPECT_FALSE(inputMode().fade());
    at(1800ms);
    EXPECT_TRUE(fading(inputMode(), 0, 300ms));
    EXPECT_FALSE(shownAt(inputMode(), 2100ms));
}

TEST_F(HudManagerTest, CallsFromTheTapThreadArriveOnTheMainQueue)
{
    start();
    HUDManager* manager = hud.get();
    std::atomic<bool> done{false};
    std::thread tapThread([&] {
        for (int i = 0; i < 200; ++i)
            manager->showInputModeHUD(i % 2 ? InputMode::kana : InputMode::eisu);
        done.store(true);
    });
    while (!done.load())
        clock.runDue();
    tapThread.join();
    clock.runDue();

    const Millis last = clock.now();
    EXPECT_TRUE(hud->inputModeViewModel()->isKana());
    EXPECT_TRUE(shownAt(inputMode(), last + 799ms));
    EXPECT_FALSE(inputMode().fade());
    EXPECT_FALSE(shownAt(inputMode(), last + 1100ms));
}

// --- Enabled or not --------------------------------------------------------

TEST_F(HudManagerTest, DisablingSuppressesNewHudsButLetsShownOnesFinish)
{
    start();
    hud->showHyperHUD(200ms);
    hud->showInputModeHUD(InputMode::kana);
    at(300ms);
    hud->setIsHUDEnabled(false);
    EXPECT_TRUE(hyper().isShown() && inputMode().isShown());

    // Hiding runs whatever the setting says.
    hud->hideHyperHUD();
    EXPECT_TRUE(shownAt(hyper(), 499ms));
    EXPECT_FALSE(shownAt(hyper(), 500ms));
    EXPECT_FALSE(shownAt(inputMode(), 1100ms));

    hud->showHyperHUD(200ms);
    hud->showInputModeHUD(InputMode::eisu);
    EXPECT_EQ(clock.pendingCount(false), 0u); // the tap thread posts nothing
    at(3000ms);
    EXPECT_EQ(hyper().frontCount, 1);
    EXPECT_EQ(inputMode().frontCount, 1);
    EXPECT_TRUE(hud->inputModeViewModel()->isKana());
    hud->hideHyperHUD();
    clock.runDue();
    EXPECT_FALSE(hyper().isShown());
    EXPECT_TRUE(noTimedWork());
}

TEST_F(HudManagerTest, EnabledStartsFromTheStoredValueOrTheOlderKey)
{
    struct Case {
        const char* name;
        std::optional<DefaultsValue> current;
        std::optional<DefaultsValue> legacy;
        bool expected;
    };
    const Case cases[] = {
        {"nothing stored", std::nullopt, std::nullopt, true},
        {"only the older key, off", std::nullopt, false, false},
        {"only the older key, on", std::nullopt, true, true},
        {"current on beats older off", true, false, true},
        {"current off beats older on", false, true, false},
        {"current not a Boolean falls to older", QStringLiteral("false"), false, false},
        {"current not a Boolean, no older", QStringLiteral("no"), std::nullopt, true},
        {"older not a Boolean", std::nullopt, QStringLiteral("false"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir caseDir;
        ASSERT_TRUE(caseDir.isValid());
        FileDefaults store(caseDir.path());
        if (c.current)
            store.setValue(QStringLiteral("isHUDEnabled"), *c.current);
        if (c.legacy)
            store.setValue(QStringLiteral("isInputModeHUDEnabled"), *c.legacy);
        HUDManager manager(clock, store, factory, screens);
        EXPECT_EQ(manager.isHUDEnabled(), c.expected);
        // Reading the setting writes nothing.
        EXPECT_EQ(store.value(QStringLiteral("isHUDEnabled")), c.current);
        EXPECT_EQ(store.value(QStringLiteral("isInputModeHUDEnabled")), c.legacy);
    }
}

TEST_F(HudManagerTest, EveryAssignmentIsStoredUnderTheCurrentKeyOnly)
{
    defaults->setValue(QStringLiteral("isInputModeHUDEnabled"), false);
    start();
    EXPECT_FALSE(hud->isHUDEnabled());
    QSignalSpy changed(hud.get(), &HUDManager::isHUDEnabledChanged);
    const auto stored = [this](const char* key) { return FileDefaults(dir.path()).boolValue(QString::fromLatin1(key)); };

    hud->setIsHUDEnabled(true);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(stored("isHUDEnabled"), true);

    // The same value again is still written.
    defaults->removeValue(QStringLiteral("isHUDEnabled"));
    hud->setIsHUDEnabled(true);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(stored("isHUDEnabled"), true);

    hud->setIsHUDEnabled(false);
    EXPECT_EQ(stored("isHUDEnabled"), false);
    EXPECT_EQ(stored("isInputModeHUDEnabled"), false);
}

// --- Lifetime and panels -----------------------------------------------------

TEST_F(HudManagerTest, NothingRunsAfterTheManagerIsGone)
{
    start();
    hud->showHyperHUD(200ms);
    hud->showInputModeHUD(InputMode::kana);
    at(250ms);
    hud->hideHyperHUD(); // posted, and a fade-out after it
    clock.runDue();
    hud->showInputModeHUD(InputMode::eisu); // posted, not yet run
    hud->showHyperHUD(200ms);
    ASSERT_GT(clock.pendingCount(false), 0u);

    hud.reset();
    const QStringList before = factory.log;
    EXPECT_EQ(before.filter(QStringLiteral("destroyed")).size(), 2);
    at(5000ms);
    EXPECT_EQ(factory.log, before);

    // Gone before the first pass: the panels are never built.
    test::FakePanelFactory unbuilt(clock);
    hud = std::make_unique<HUDManager>(clock, *defaults, unbuilt, screens);
    hud->showInputModeHUD(InputMode::kana);
    hud.reset();
    clock.runDue();
    EXPECT_EQ(unbuilt.builds, 0);
}

TEST_F(HudManagerTest, WithoutPanelsHyperDoesNothingAndInputModeOnlyUpdatesItsModel)
{
    factory.failToBuild = true;
    start();
    ASSERT_EQ(hud->hyperPanel(), nullptr);

    hud->setPendingHyperConfig(HyperKeyConfig::cmdShift);
    hud->showHyperHUD(200ms);
    at(200ms);
    EXPECT_FALSE(hud->hyperViewModel()->isVisible());
    EXPECT_EQ(hud->hyperViewModel()->config(), HyperKeyConfig::hyper);

    hud->showInputModeHUD(InputMode::kana);
    clock.runDue();
    EXPECT_TRUE(hud->inputModeViewModel()->isKana());
    EXPECT_TRUE(hud->inputModeViewModel()->isVisible());
    EXPECT_TRUE(noTimedWork()); // no hide scheduled without a panel

    hud->hideHyperHUD();
    at(2000ms);
    EXPECT_TRUE(factory.log.isEmpty());
}

} // namespace
