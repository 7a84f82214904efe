#pragma once
// The physical key of a key event, as the key code the engine stores: on
// Linux the event's native scan code (an xkb keycode, the evdev code + 8)
// through the same table the input backend uses; on macOS the event's own
// virtual key code. So a binding names the key the user pressed, whatever
// the keyboard layout makes it type.

#include "base/KeyCodes.h"

#include <QtGlobal>
#include <optional>

namespace kestrune {

// nullopt when the key has no code the engine knows (media keys and the like).
std::optional<KeyCode> physicalKeyCode(quint32 nativeScanCode, quint32 nativeVirtualKey);

// The modifier keys (Command, Shift, Caps Lock, Option, Control, fn), which
// are never captured alone.
bool isModifierKeyCode(KeyCode code);

} // namespace kestrune
