#include "platform/KeyboardRoster.h"

#include <cstdio>

namespace kestrune {

namespace {
// The kernel's bus numbers (linux/input.h), which macOS builds lack.
constexpr uint16_t kBusUsb = 0x03, kBusBluetooth = 0x05, kBusVirtual = 0x06, kBusI8042 = 0x11, kBusHost = 0x19;
} // namespace

KeyboardKind keyboardKind(const KeyboardIdentity& identity)
{
    switch (identity.bus) {
    case kBusI8042:
    case kBusHost: // keyboards a laptop's embedded controller reports
        return KeyboardKind::builtIn;
    case kBusUsb: return KeyboardKind::usb;
    case kBusBluetooth: return KeyboardKind::bluetooth;
    case kBusVirtual: return KeyboardKind::otherVirtual;
    default: return KeyboardKind::other;
    }
}

std::string keyboardKey(const KeyboardIdentity& identity, bool withPhys)
{
    char numbers[16];
    std::snprintf(numbers, sizeof numbers, "%04x:%04x:%04x:", identity.bus, identity.vendor, identity.product);
    std::string key = numbers + identity.name;
    if (withPhys && !identity.phys.empty())
        key += '@' + identity.phys;
    return key;
}

std::vector<PresentKeyboard> rosterOf(const std::vector<KeyboardIdentity>& keyboards)
{
    std::vector<PresentKeyboard> roster;
    roster.reserve(keyboards.size());
    for (const KeyboardIdentity& identity : keyboards) {
        const std::string base = keyboardKey(identity);
        bool twin = false;        // an identical keyboard elsewhere
        bool indistinct = false;  // … that nothing tells apart from this one
        for (const KeyboardIdentity& other : keyboards) {
            if (&other == &identity || keyboardKey(other) != base)
                continue;
            twin = true;
            indistinct |= identity.phys.empty() || other.phys == identity.phys;
        }
        roster.push_back({identity, keyboardKey(identity, twin && !indistinct), indistinct, false});
    }
    return roster;
}

bool KeyboardChoices::remaps(const PresentKeyboard& keyboard) const
{
    if (auto it = remap.find(keyboard.key); it != remap.end())
        return it->second;
    if (auto it = remap.find(keyboardKey(keyboard.identity)); it != remap.end())
        return it->second;
    return remapNew;
}

} // namespace kestrune
