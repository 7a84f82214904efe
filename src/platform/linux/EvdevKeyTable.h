#pragma once
// Translation at the edge between evdev key codes (linux/input-event-codes.h)
// and the macOS virtual key codes the engine works in, both ways, O(1) and
// without allocation. One list of pairs builds both lookup arrays at compile
// time, so the two directions can never disagree.
//
// Eisu and Kana: the engine's kVK_JIS_Eisu (102) and kVK_JIS_Kana (104) go
// out as KEY_HANJA and KEY_HANGEUL, what an Apple JIS keyboard's own 英数 /
// かな keys produce on Linux (HID LANG2 / LANG1). They are only the fallback:
// the input methods do not read them as absolute switches (fcitx5 takes
// Hangul as a toggle and Hanja as "on"; IBus ignores both), so wherever
// fcitx5 or IBus runs, LinuxInputMethod switches it over D-Bus instead and
// these keys are not sent. Muhenkan and Henkan stay the keys they are and
// pass through untranslated.
//
// Keys with no macOS counterpart (media and system keys, Muhenkan, Henkan,
// Print Screen, …) are not in the table: the tap passes them straight to the
// virtual keyboard without showing them to the engine, as macOS delivers
// such keys outside the keyboard event stream. The volume keys are left out
// for the same reason although macOS has key codes for them: they must keep
// working while Hyper is held.

#include "base/KeyCodes.h"

#include <array>
#include <cstdint>
#include <linux/input-event-codes.h>

namespace kestrune::evdev {

struct KeyPair {
    uint16_t evdev;
    uint8_t mac;
};

// clang-format off
inline constexpr KeyPair kKeyPairs[] = {
    // Letters, digits and ANSI punctuation.
    {KEY_A, 0x00}, {KEY_S, 0x01}, {KEY_D, 0x02}, {KEY_F, 0x03}, {KEY_H, 0x04}, {KEY_G, 0x05},
    {KEY_Z, 0x06}, {KEY_X, 0x07}, {KEY_C, 0x08}, {KEY_V, 0x09}, {KEY_B, 0x0B}, {KEY_Q, 0x0C},
    {KEY_W, 0x0D}, {KEY_E, 0x0E}, {KEY_R, 0x0F}, {KEY_Y, 0x10}, {KEY_T, 0x11}, {KEY_1, 0x12},
    {KEY_2, 0x13}, {KEY_3, 0x14}, {KEY_4, 0x15}, {KEY_6, 0x16}, {KEY_5, 0x17}, {KEY_EQUAL, 0x18},
    {KEY_9, 0x19}, {KEY_7, 0x1A}, {KEY_MINUS, 0x1B}, {KEY_8, 0x1C}, {KEY_0, 0x1D},
    {KEY_RIGHTBRACE, 0x1E}, {KEY_O, 0x1F}, {KEY_U, 0x20}, {KEY_LEFTBRACE, 0x21}, {KEY_I, 0x22},
    {KEY_P, 0x23}, {KEY_L, 0x25}, {KEY_J, 0x26}, {KEY_APOSTROPHE, 0x27}, {KEY_K, 0x28},
    {KEY_SEMICOLON, 0x29}, {KEY_BACKSLASH, 0x2A}, {KEY_COMMA, 0x2B}, {KEY_SLASH, 0x2C},
    {KEY_N, 0x2D}, {KEY_M, 0x2E}, {KEY_DOT, 0x2F}, {KEY_GRAVE, 0x32},
    // ISO and JIS.
    {KEY_102ND, 0x0A},       // kVK_ISO_Section
    {KEY_YEN, 0x5D},         // kVK_JIS_Yen
    {KEY_RO, 0x5E},          // kVK_JIS_Underscore
    {KEY_KPCOMMA, 0x5F},     // kVK_JIS_KeypadComma
    {KEY_HANJA, 0x66},       // kVK_JIS_Eisu (see above)
    {KEY_HANGEUL, 0x68},     // kVK_JIS_Kana
    // Editing and whitespace.
    {KEY_ENTER, 0x24}, {KEY_TAB, 0x30}, {KEY_SPACE, 0x31},
    {KEY_BACKSPACE, 0x33},   // kVK_Delete
    {KEY_ESC, 0x35},
    {KEY_COMPOSE, 0x6E},     // the Menu key: kVK_ContextualMenu
    // Modifiers.
    {KEY_RIGHTMETA, 0x36}, {KEY_LEFTMETA, 0x37}, {KEY_LEFTSHIFT, 0x38}, {KEY_CAPSLOCK, 0x39},
    {KEY_LEFTALT, 0x3A}, {KEY_LEFTCTRL, 0x3B}, {KEY_RIGHTSHIFT, 0x3C}, {KEY_RIGHTALT, 0x3D},
    {KEY_RIGHTCTRL, 0x3E},
    // Function keys.
    {KEY_F1, 0x7A}, {KEY_F2, 0x78}, {KEY_F3, 0x63}, {KEY_F4, 0x76}, {KEY_F5, 0x60},
    {KEY_F6, 0x61}, {KEY_F7, 0x62}, {KEY_F8, 0x64}, {KEY_F9, 0x65}, {KEY_F10, 0x6D},
    {KEY_F11, 0x67}, {KEY_F12, 0x6F}, {KEY_F13, 0x69}, {KEY_F14, 0x6B}, {KEY_F15, 0x71},
    {KEY_F16, 0x6A}, {KEY_F17, 0x40}, {KEY_F18, 0x4F}, {KEY_F19, 0x50}, {KEY_F20, 0x5A},
    // Keypad.
    {KEY_KPDOT, 0x41}, {KEY_KPASTERISK, 0x43}, {KEY_KPPLUS, 0x45},
    {KEY_NUMLOCK, 0x47},     // kVK_ANSI_KeypadClear: both are HID "Num Lock and Clear"
    {KEY_KPSLASH, 0x4B}, {KEY_KPENTER, 0x4C}, {KEY_KPMINUS, 0x4E}, {KEY_KPEQUAL, 0x51},
    {KEY_KP0, 0x52}, {KEY_KP1, 0x53}, {KEY_KP2, 0x54}, {KEY_KP3, 0x55}, {KEY_KP4, 0x56},
    {KEY_KP5, 0x57}, {KEY_KP6, 0x58}, {KEY_KP7, 0x59}, {KEY_KP8, 0x5B}, {KEY_KP9, 0x5C},
    // Navigation.
    {KEY_INSERT, 0x72},      // kVK_Help, where Apple keyboards have Insert
    {KEY_HOME, 0x73}, {KEY_PAGEUP, 0x74},
    {KEY_DELETE, 0x75},      // kVK_ForwardDelete
    {KEY_END, 0x77}, {KEY_PAGEDOWN, 0x79},
    {KEY_LEFT, 0x7B}, {KEY_RIGHT, 0x7C}, {KEY_DOWN, 0x7D}, {KEY_UP, 0x7E},
};
// clang-format on

inline constexpr int kMacKeyCount = 128; // macOS virtual key codes are 0…127

namespace detail {
constexpr std::array<int8_t, KEY_CNT> buildToMac()
{
    std::array<int8_t, KEY_CNT> table{};
    table.fill(-1);
    for (const KeyPair& p : kKeyPairs)
        table[p.evdev] = static_cast<int8_t>(p.mac);
    return table;
}
constexpr std::array<int16_t, kMacKeyCount> buildToEvdev()
{
    std::array<int16_t, kMacKeyCount> table{};
    table.fill(-1);
    for (const KeyPair& p : kKeyPairs)
        table[p.mac] = static_cast<int16_t>(p.evdev);
    return table;
}
} // namespace detail

inline constexpr std::array<int8_t, KEY_CNT> kToMac = detail::buildToMac();
inline constexpr std::array<int16_t, kMacKeyCount> kToEvdev = detail::buildToEvdev();

// The macOS key code of an evdev key; -1 when it has none.
constexpr KeyCode macKeyFor(unsigned evdevCode)
{
    return evdevCode < kToMac.size() ? kToMac[evdevCode] : -1;
}

// The evdev key of a macOS key code; -1 when it has none.
constexpr int evdevKeyFor(KeyCode macCode)
{
    return macCode >= 0 && macCode < kMacKeyCount ? kToEvdev[static_cast<size_t>(macCode)] : -1;
}

// --- Modifier keys ----------------------------------------------------------
// The eight modifier keys as bit positions, in groups of left and right.

inline constexpr int kModifierKeyCount = 8;
inline constexpr std::array<uint16_t, kModifierKeyCount> kModifierKeys = {
    KEY_LEFTCTRL, KEY_RIGHTCTRL, KEY_LEFTALT, KEY_RIGHTALT, KEY_LEFTSHIFT, KEY_RIGHTSHIFT, KEY_LEFTMETA, KEY_RIGHTMETA,
};
// The engine's flag for each group of two (Control, Option, Shift, Command).
inline constexpr std::array<uint64_t, 4> kGroupFlags = {flags::kControl, flags::kOption, flags::kShift,
                                                        flags::kCommand};

// Bit position of a modifier key (0…7), or -1 for any other key.
constexpr int modifierIndex(unsigned evdevCode)
{
    for (int i = 0; i < kModifierKeyCount; ++i)
        if (kModifierKeys[static_cast<size_t>(i)] == evdevCode)
            return i;
    return -1;
}

// The engine's flags for a set of modifier keys (bit i: kModifierKeys[i]).
constexpr uint64_t flagsForModifiers(uint8_t keys)
{
    uint64_t result = 0;
    for (size_t g = 0; g < kGroupFlags.size(); ++g)
        if (keys & (0b11u << (2 * g)))
            result |= kGroupFlags[g];
    return result;
}

} // namespace kestrune::evdev
