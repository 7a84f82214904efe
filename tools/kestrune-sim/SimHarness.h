#pragma once
// The real engine on the sim backend: KeyRemapper with both stores, the
// permission monitor and the application's launch and termination, over a
// virtual clock. Used by kestrune-sim and by the engine's tests.
//
// Main thread. Everything that happens on the tap thread is settled before
// each driving call returns, so a run is the same every time.

#include "app/AppDelegate.h"
#include "exclusions/AppExclusionManager.h"
#include "remapper/HudRequests.h"
#include "launcher/AppLauncherManager.h"
#include "platform/sim/SimPlatform.h"
#include "remapper/KeyRemapper.h"
#include "system/PermissionManager.h"

namespace kestrune {

// Prints the remapper's requests to the HUD manager.
class SimHud final : public HudRequests {
public:
    explicit SimHud(SimTranscript& transcript) : transcript_(transcript) {}
    void showHyperHUD(Millis) override { transcript_.add(QStringLiteral("hud hyper show")); }
    void hideHyperHUD() override { transcript_.add(QStringLiteral("hud hyper hide")); }
    void setPendingHyperConfig(config::HyperKeyConfig c) override { pending_.store(c); }
    void showInputModeHUD(InputMode mode) override
    {
        transcript_.add(mode == InputMode::eisu ? QStringLiteral("hud input eisu") : QStringLiteral("hud input kana"));
    }
    config::HyperKeyConfig pendingHyperConfig() const { return pending_.load(); }

private:
    SimTranscript& transcript_;
    std::atomic<config::HyperKeyConfig> pending_{config::HyperKeyConfig::hyper};
};

class SimHarness {
public:
    // Settings live in `defaultsDirectory` (the real file store).
    explicit SimHarness(const QString& defaultsDirectory);
    ~SimHarness();

    // The application's launch sequence, then settles.
    void launch();
    // The application's termination sequence.
    void terminate();

    // Runs the main-queue work due now and lets the tap thread settle.
    void settle();
    // Advances the virtual clock, running and settling work as it falls due.
    void advance(Millis d);
    // Runs the clock on until no one-shot work is pending (bounded).
    void runOut();

    Millis now() { return sim.scheduler().now(); }

    SimPlatform sim;
    Platform platform;
    SimHud hud;
    PermissionManager permissions;
    AppExclusionManager exclusions;
    AppLauncherManager launcher;
    KeyRemapper remapper;
    AppDelegate delegate;

private:
    void settleThreads();
};

} // namespace kestrune
