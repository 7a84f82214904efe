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

// A lone Caps Lock tap's key, posted from the main thread once the double-tap
// window has passed, carries its tap's number in the low 32 bits: the tap
// thread lets it out only if no second tap it read first has claimed the tap.
inline constexpr int64_t kSinglePressMarker = int64_t{0x4B53500000000000};
inline constexpr int64_t kSinglePressMarkerMask = int64_t{0x7FFFFFFF00000000};
inline constexpr bool isSinglePressMarker(int64_t userData)
{
    return (userData & kSinglePressMarkerMask) == kSinglePressMarker;
}
inline constexpr bool isOwnEvent(int64_t userData)
{
    return userData == kSelfGeneratedEventMarker || isSinglePressMarker(userData);
}

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
