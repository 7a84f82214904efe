#pragma once
// What the remapper asks of the heads-up displays. The HUD manager
// implements it; the simulator prints the requests.

#include "base/Scheduler.h"
#include "platform/InputMethod.h"
#include "remapper/RemapperConfig.h"

namespace kestrune {

class HudRequests {
public:
    virtual ~HudRequests() = default;
    // Main thread. Shows the Hyper HUD after `delay` if Caps Lock is still held then.
    virtual void showHyperHUD(Millis delay) = 0;
    // Main thread.
    virtual void hideHyperHUD() = 0;
    // Main thread. The Hyper combination the HUD shows next.
    virtual void setPendingHyperConfig(config::HyperKeyConfig config) = 0;
    // Any thread, the tap thread included: returns at once and does its
    // drawing on the main queue.
    virtual void showInputModeHUD(InputMode mode) = 0;
};

} // namespace kestrune
