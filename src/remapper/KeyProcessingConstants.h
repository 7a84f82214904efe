#pragma once
// Timings of key processing shared by its pieces.

#include "base/Scheduler.h"

namespace kestrune {

// A second lone Caps Lock tap within this time of the first toggles Caps Lock.
inline constexpr Millis kDoubleTapThreshold{200};
// The Hyper HUD shows once Caps Lock has been held this long.
inline constexpr Millis kHyperHudDelay{200};

} // namespace kestrune
