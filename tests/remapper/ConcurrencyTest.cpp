// The tap thread handling a stream of keys while the main thread changes
// settings, runs the delayed single presses and pauses: run under
// ThreadSanitizer in CI.

#include "RemapperFixture.h"

#include <atomic>
#include <random>
#include <thread>

namespace kestrune::testing {
namespace {

TEST_F(RemapperTest, KeysOnTheTapThreadWhileTheMainThreadChangesSettings)
{
    SimHarness& h = launched();
    h.remapper.setSinglePressConfig(config::SinglePressConfig::esc);
    h.remapper.setIsCapsLockDoubleTapEnabled(true);
    h.remapper.setIsCmdEisuKanaEnabled(true);
    h.settle();
    // The driver below settles the keyboard itself; the main thread runs
    // scheduler work concurrently, as a real run loop would.
    h.sim.scheduler().setAfterWorkHook({});

    std::atomic<bool> done{false};
    std::thread driver([&] {
        std::mt19937 rng(7);
        const KeyCode keys[] = {kc::kVK_CapsLock, kc::kVK_ANSI_J, kc::kVK_ANSI_A, 8, kc::kVK_Command_L, kc::kVK_Shift_L};
        for (int i = 0; i < 4000; ++i) {
            const KeyCode k = keys[rng() % std::size(keys)];
            h.sim.keyboard().physicalDown(k);
            h.sim.keyboard().physicalUp(k);
        }
        done = true;
    });
    std::mt19937 rng(11);
    int round = 0;
    while (!done) {
        auto& r = h.remapper;
        switch (round++ % 6) {
        case 0: r.setHyperKeyConfig(config::kAllHyperKeyConfigs[rng() % config::kAllHyperKeyConfigs.size()]); break;
        case 1: r.setIsVimModeEnabled(!r.isVimModeEnabled()); break;
        case 2: r.setVimModeConfig(rng() % 2 ? config::VimModeConfig::vim : config::VimModeConfig::gamer); break;
        case 3: r.setIsCapsLockDoubleTapEnabled(!r.isCapsLockDoubleTapEnabled()); break;
        case 4: r.setCmdEisuKanaConfig(rng() % 2 ? config::CmdEisuKanaConfig::leftEisuRightKana
                                                  : config::CmdEisuKanaConfig::leftDelRightFnDel); break;
        case 5: h.launcher.setEnabled(!h.launcher.isEnabled()); break;
        }
        h.sim.scheduler().advanceBy(Millis{50}); // delayed single presses fire meanwhile
    }
    driver.join();
    h.settle();
    h.runOut();
    EXPECT_TRUE(h.sim.keyboard().keysDownInOutput().empty());
}

TEST_F(RemapperTest, PausingAndResumingWhileKeysArrive)
{
    SimHarness& h = launched();
    h.sim.scheduler().setAfterWorkHook({});
    std::atomic<bool> done{false};
    std::thread driver([&] {
        for (int i = 0; i < 1500; ++i) {
            h.sim.keyboard().physicalDown(kc::kVK_CapsLock);
            h.sim.keyboard().physicalDown(kc::kVK_ANSI_J);
            h.sim.keyboard().physicalUp(kc::kVK_CapsLock);
            h.sim.keyboard().physicalUp(kc::kVK_ANSI_J);
        }
        done = true;
    });
    while (!done) {
        h.remapper.setIsEnabled(!h.remapper.isEnabled());
        h.sim.scheduler().runDue();
    }
    driver.join();
    h.remapper.setIsEnabled(true);
    h.sim.scheduler().setAfterWorkHook([&] {
        h.remapper.waitForTapThreadSettled();
        h.sim.keyboard().waitIdle();
    });
    h.runOut();
    const auto stuck = h.sim.keyboard().keysDownInOutput();
    EXPECT_TRUE(stuck.empty()) << "stuck key " << stuck.front() << "\n"
                               << effects(std::max(0, mark() - 40)).join('\n').toStdString();
    EXPECT_TRUE(h.remapper.hasEventTap());
}

} // namespace
} // namespace kestrune::testing
