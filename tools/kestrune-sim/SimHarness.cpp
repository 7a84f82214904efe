#include "SimHarness.h"

namespace kestrune {

namespace {
// Far beyond any deadline the engine sets, so a script's end always lets
// delayed work show, yet a runaway chain of work still ends.
constexpr Millis kRunOutLimit{24 * 3600 * 1000};
} // namespace

SimHarness::SimHarness(const QString& defaultsDirectory)
    : sim(defaultsDirectory)
    , platform(sim.platform())
    , hud(sim.transcript())
    , permissions(sim.trust(), sim.scheduler())
    , exclusions(sim.defaults(), sim.workspace(), sim.scheduler())
    , launcher(sim.defaults(), sim.workspace(), sim.scheduler(), sim.console())
    , remapper(platform, KeyRemapper::Collaborators{&exclusions, &launcher, &hud, &permissions})
    , delegate(platform, remapper, permissions)
{
    sim.workspace().onLaunch = [this](const QString& path) { sim.transcript().add(QStringLiteral("launch ") + path); };
    // Main-queue work may start or stop the tap thread or post events; let
    // both settle after every item so the transcript never depends on timing.
    sim.scheduler().setAfterWorkHook([this] { settleThreads(); });
}

SimHarness::~SimHarness()
{
    sim.scheduler().setAfterWorkHook({});
    remapper.stop();
    remapper.waitForTapThreadSettled();
}

void SimHarness::settleThreads()
{
    remapper.waitForTapThreadSettled();
    sim.keyboard().waitIdle();
}

void SimHarness::settle()
{
    settleThreads();
    sim.scheduler().runDue();
    settleThreads();
}

void SimHarness::launch()
{
    delegate.applicationDidFinishLaunching();
    settle();
}

void SimHarness::terminate()
{
    delegate.applicationWillTerminate();
    settle();
}

void SimHarness::advance(Millis d)
{
    settleThreads();
    sim.scheduler().advanceBy(d);
    settle();
}

void SimHarness::runOut()
{
    settleThreads();
    sim.scheduler().runUntilIdle(kRunOutLimit);
    settle();
}

} // namespace kestrune
