#pragma once
// What a native event tap does with one event, decided here so that a
// backend only reads and writes fields: which events reach the handler,
// whether the event is dropped, passed on as it came, or passed on with
// some fields rewritten; and the fields of a synthetic event to post.
//
// The native numbering is that of Core Graphics event taps, which the
// engine's EventType already follows: key down 10, key up 11, flags changed
// 12, tap disabled by timeout 0xFFFFFFFE, by user input 0xFFFFFFFF.

#include "platform/EventTap.h"

#include <cstdint>
#include <optional>

namespace kestrune {

// The fields of a native keyboard event the engine reads or writes.
struct NativeKeyFields {
    uint32_t type = 0;
    int64_t keyCode = 0;
    uint64_t flags = 0;
    int64_t userData = 0;
    bool autorepeat = false;
};

struct TapOutcome {
    enum class Action { PassUnchanged, PassRewritten, Drop };
    Action action = Action::PassUnchanged;
    // For PassRewritten: the new values, and which of them differ from the
    // event as it came (only those are written back).
    NativeKeyFields fields;
    bool typeChanged = false;
    bool keyCodeChanged = false;
    bool flagsChanged = false;
    bool userDataChanged = false;
};

// The engine's type for a native type the tap hands over; nullopt for any
// other type (those pass untouched, the handler never sees them).
std::optional<EventType> eventTypeFromNative(uint32_t nativeType);

// Tap thread. Runs `handler` for one native event. Tap-disabled notices
// reach the handler too (it re-enables or tears down) and the event passes
// unchanged. Allocates nothing.
TapOutcome handleNativeEvent(EventHandler& handler, const NativeKeyFields& in);

// The fields of a synthetic keyboard event for `event`: the key code must
// fit the native 16-bit key code, and only key down, key up and flags
// changed can be posted. nullopt when the event cannot be posted.
struct NativePost {
    uint16_t keyCode = 0;
    bool keyDown = true; // the "key position" a native keyboard event is created with
    uint32_t type = 0;   // the type to set afterwards (flags changed is not a key position)
    uint64_t flags = 0;
    int64_t userData = 0;
};
std::optional<NativePost> nativePostFor(const KeyEvent& event);

} // namespace kestrune
