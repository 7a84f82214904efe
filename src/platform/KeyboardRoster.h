#pragma once
// The keyboards present, and the user's choice of which of them Kestrune
// remaps. A keyboard left alone is not grabbed: its keys reach the desktop
// untouched. Choices are found by a stable identity (bus, vendor, product,
// name), never by the event node's path, which changes from boot to boot.
// Two identical keyboards are told apart by their physical path where the
// kernel gives one; otherwise they share one choice.
//
// Where the system cannot tell which keyboard a key came from (a macOS
// event tap), there is no roster.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kestrune {

struct KeyboardIdentity {
    uint16_t bus = 0; // BUS_USB, BUS_BLUETOOTH, … (linux/input.h)
    uint16_t vendor = 0;
    uint16_t product = 0;
    std::string name; // UTF-8, as the driver gives it
    std::string phys; // physical path; may be empty
    friend bool operator==(const KeyboardIdentity&, const KeyboardIdentity&) = default;
};

enum class KeyboardKind : uint8_t { builtIn, usb, bluetooth, otherVirtual, other };
KeyboardKind keyboardKind(const KeyboardIdentity& identity);

// The key a choice is stored under: "bus:vendor:product:name" (hexadecimal
// numbers), and "@phys" after it when `withPhys`.
std::string keyboardKey(const KeyboardIdentity& identity, bool withPhys = false);

struct PresentKeyboard {
    KeyboardIdentity identity;
    std::string key; // where its choice is looked up first
    // An identical keyboard is present and nothing tells them apart: they
    // share one choice.
    bool shared = false;
    // Grabbed now, or to be grabbed at its next moment with no key down.
    bool remapped = false;
    // Whether a choice stored under `choiceKey` is this keyboard's: its own
    // key, or its identity's without the physical path.
    bool answersTo(const std::string& choiceKey) const
    {
        return choiceKey == key || choiceKey == keyboardKey(identity);
    }
    friend bool operator==(const PresentKeyboard&, const PresentKeyboard&) = default;
};

// The identities of `keyboards`, each given its key and `shared`: a keyboard
// carries its physical path in its key only while an identical keyboard is
// present at another path.
std::vector<PresentKeyboard> rosterOf(const std::vector<KeyboardIdentity>& keyboards);

struct KeyboardChoices {
    bool remapNew = true;
    std::unordered_map<std::string, bool> remap; // by key
    // By the keyboard's own key, then by its identity without the physical
    // path, then as a new keyboard.
    bool remaps(const PresentKeyboard& keyboard) const;
    friend bool operator==(const KeyboardChoices&, const KeyboardChoices&) = default;
};

class KeyboardRoster {
public:
    virtual ~KeyboardRoster() = default;
    // Main thread. The keyboards present now, in a stable order; empty when
    // none can be read (no input access, or the input service is away).
    virtual std::vector<PresentKeyboard> keyboards() const = 0;
    // Main thread. From now on a keyboard is grabbed only when `choices`
    // remap it; one switched off is let go at once, its held keys ended.
    virtual void setChoices(const KeyboardChoices& choices) = 0;
    // Set by the owner; runs on the main thread when keyboards() changed.
    std::function<void()> changed;
};

} // namespace kestrune
