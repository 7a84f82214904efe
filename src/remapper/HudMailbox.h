#pragma once
// Carries the engine's Hyper HUD requests from the tap thread to the main
// queue without an allocation or a reference count per Caps Lock transition.
//
// The tap thread records what it wants in one atomic word and posts a pass
// only when none is pending, so a burst of transitions costs one pass, which
// captures nothing but this object's address. The pass replays the burst as
// its first and last requests: a press and release in one burst is still a
// show and a hide, and the HUD ends as the last request left it.
//
// Threads: requests from any thread (the tap thread in practice); the pass
// and retire() on the main thread.
//
// Lifetime: made by the remapper, which calls retire() once no tap thread
// runs any more. A pass still queued then finds the HUD gone and does
// nothing; the object itself is kept until the process ends, so that such a
// pass never reads freed memory (only a remapper destroyed with work queued
// leaves one behind).

#include "base/Scheduler.h"
#include "remapper/HudRequests.h"

#include <atomic>
#include <cstdint>

namespace kestrune {

class HudMailbox {
public:
    // `hud` may be null: requests are then dropped.
    static HudMailbox* create(Scheduler& scheduler, HudRequests* hud);
    // Main thread, once; the mailbox must not be used after this.
    void retire();

    // Any thread. Never blocks or allocates.
    void showHyperHUD() { request(kShow); }
    void hideHyperHUD() { request(kHide); }

    // Main thread: runs the pending requests now (what the posted pass does).
    void deliver();

private:
    // Word layout: bit 0 a pass is pending; bits 1–2 the burst's first
    // request; bits 3–4 its last.
    static constexpr uint32_t kPending = 1;
    static constexpr uint32_t kShow = 1;
    static constexpr uint32_t kHide = 2;
    static constexpr uint32_t first(uint32_t w) { return (w >> 1) & 3u; }
    static constexpr uint32_t last(uint32_t w) { return (w >> 3) & 3u; }

    HudMailbox(Scheduler& scheduler, HudRequests* hud) : scheduler_(scheduler), hud_(hud) {}
    void request(uint32_t kind);

    Scheduler& scheduler_;
    HudRequests* hud_; // main thread; null once retired
    std::atomic<uint32_t> word_{0};
};

} // namespace kestrune
