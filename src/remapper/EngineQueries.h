#pragma once
// What the engine asks of the exclusions and of the launcher while it
// handles a key, on the tap thread. The managers answer in the application;
// the input service answers from what its client told it.

#include "base/KeyCodes.h"

namespace kestrune {

class ExclusionVerdict {
public:
    virtual ~ExclusionVerdict() = default;
    // Any thread. Never blocks or allocates.
    virtual bool isCurrentAppExcluded() const = 0;
};

class LaunchShortcuts {
public:
    virtual ~LaunchShortcuts() = default;
    // Tap thread (any thread). True when `keyCode` is bound and the launcher
    // is on; the application is then opened later, on the main thread.
    virtual bool launchShortcut(KeyCode keyCode) = 0;
};

} // namespace kestrune
