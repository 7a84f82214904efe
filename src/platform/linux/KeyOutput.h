#pragma once
// What the virtual keyboard holds, and the events that change it. Keys go out
// as evdev codes; each key event is followed by SYN_REPORT. Events collect in
// a fixed buffer that the owner writes to the device with flush().
//
// Modifier rule. A key-down goes out with the virtual keyboard's modifiers
// set to the event's flags: a flag the user holds uses the side(s) the user
// holds, any other flag the left key of its group (Command → Meta, Option →
// Alt, Control → Ctrl, Shift → Shift). Modifiers added this way stay held
// until that key comes up and are then put back to what the user holds; a
// later key-down with other flags changes them first. Holding them for the
// key's whole press matters: desktops repeat a held key themselves, with the
// modifier state of the moment, so modifiers released right after the press
// would turn a held Hyper chord into a stream of bare letters.
// Key-ups go out under the modifiers as they are: applications match a
// release by key, and wrapping it would only add modifier presses.
//
// A key the virtual keyboard already holds is not pressed again: the kernel
// repeats it (with the repeat settings copied from the keyboards), so the
// physical keyboards' repeat events are not forwarded, which would double
// the rate wherever kernel repeats are used (the text console).
//
// Tap thread only. Never allocates after construction.

#include "platform/linux/EvdevIo.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <vector>

namespace kestrune {

class KeyOutput {
public:
    KeyOutput();

    // The device written by flush(); null drops the events (none exists yet).
    void setDevice(VirtualKeyboardDevice* device) { device_ = device; }

    // The user's modifier keys, counted over every keyboard.
    void setPhysicalModifier(int index, bool down);
    uint64_t physicalFlags() const;
    uint8_t physicalModifiers() const { return physical_; }

    // An engine key-down or key-up (not a modifier key).
    void keyDown(int code, uint64_t flags);
    void keyUp(int code);
    // A key press or release as it is, modifiers untouched.
    void raw(int code, bool down);
    // Press and release; false (nothing written) when the key is held.
    bool tap(int code);
    // Releases everything: ordinary keys first, then modifiers.
    void releaseAll();

    bool isDown(int code) const { return code >= 0 && code < KEY_CNT && down_[static_cast<size_t>(code)]; }
    bool holdsAnything() const { return down_.any(); }

    // Writes what collected to the device.
    void flush();

private:
    void write(int code, bool down);
    void syncModifiers(uint8_t target);
    uint8_t targetFor(uint64_t flags) const;
    void reserve(size_t events);

    VirtualKeyboardDevice* device_ = nullptr;
    std::bitset<KEY_CNT> down_;
    uint8_t virtual_ = 0;  // modifier keys held on the virtual keyboard (bit: evdev::kModifierKeys)
    uint8_t physical_ = 0; // modifier keys the user holds
    std::array<uint8_t, 8> physicalCount_{};
    int anchor_ = -1; // the key whose press set modifiers the user does not hold
    std::vector<input_event> pending_;
};

} // namespace kestrune
