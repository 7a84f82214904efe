#pragma once
// The small value the engine works on. Backends translate their native
// events to and from it at the edge.

#include "base/KeyCodes.h"

#include <cstdint>

namespace kestrune {

enum class EventType : uint32_t {
    KeyDown = 10,
    KeyUp = 11,
    FlagsChanged = 12,
    TapDisabledByTimeout = 0xFFFFFFFE,
    TapDisabledByUserInput = 0xFFFFFFFF,
};

// Bit mask of event types, as given to the tap: key down, key up, flags changed.
inline constexpr uint64_t kKeyboardEventMask = (1u << 10) | (1u << 11) | (1u << 12);

// The source-user-data value that marks events the remapper posted itself.
inline constexpr int64_t kSelfGeneratedEventMarker = 0xCAFEBABE;

struct KeyEvent {
    EventType type = EventType::KeyDown;
    KeyCode keyCode = 0;
    uint64_t flags = 0;    // macOS layout (flags::kShift, …)
    int64_t userData = 0;  // kSelfGeneratedEventMarker on our own events
    bool autorepeat = false; // a key-down the keyboard repeats while the key is held
    // A release made up for a keyboard that vanished with the key held: it
    // ends the hold, but the key was not let go, so it is never a tap.
    bool deviceGone = false;

    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

} // namespace kestrune
