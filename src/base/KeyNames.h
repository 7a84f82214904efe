#pragma once
// The names and symbols of keys as the user reads them, one table per
// platform. macOS draws its modifiers (⌘ ⌥ ⌃ ⇧) and calls the two delete keys
// Delete and Fn + Delete; Linux writes Super, Alt, Ctrl and Shift and calls
// the same keys Backspace and Delete, which is what they send there. Only
// texts differ: the engine's flags, the key codes and the stored values are
// the same on every platform.
//
// The table in use is this build's platform's, unless a test (or a preview)
// chose the other with setKeyboardConvention before building its views.
// Main thread.

#include "base/KeyCodes.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace kestrune {

enum class KeyboardConvention : uint8_t { linuxDesktop, macOS };

// The modifiers in the order they are always listed: Command (Super),
// Option (Alt), Control (Ctrl), Shift.
inline constexpr std::array<uint64_t, 4> kModifierOrder = {flags::kCommand, flags::kOption, flags::kControl,
                                                           flags::kShift};

struct KeyNames {
    KeyboardConvention convention = KeyboardConvention::linuxDesktop;
    // Names in kModifierOrder: "Command", "Option", "Control", "Shift" or
    // "Super", "Alt", "Ctrl", "Shift".
    std::array<QString, 4> modifierNames;
    // What stands for each modifier where room is short: the symbols on
    // macOS, the names themselves on Linux (its keys carry no symbols).
    std::array<QString, 4> modifierSymbols;
    // kVK_Delete (51) and kVK_ForwardDelete (117), in full and as short as a
    // picker needs them.
    QString backspace, forwardDelete;
    QString backspaceShort, forwardDeleteShort;

    bool isMac() const { return convention == KeyboardConvention::macOS; }
    const QString& command() const { return modifierNames[0]; }
    const QString& option() const { return modifierNames[1]; }
    const QString& control() const { return modifierNames[2]; }
    const QString& shift() const { return modifierNames[3]; }

    // The modifiers held in `flags`, in kModifierOrder, as one text: the
    // symbols side by side on macOS ("⌘⌥⌃⇧", or "⌘ ⌥ ⌃" when `spaced`), the
    // names joined by "+" on Linux ("Super+Alt+Ctrl+Shift"), as each
    // platform writes a shortcut.
    QString combination(uint64_t flags, bool spaced = false) const;
    // The same, one entry per modifier.
    QStringList combinationKeys(uint64_t flags) const;
};

// The table of a convention, its translatable names in the current language.
KeyNames keyNamesFor(KeyboardConvention convention);
// The table in use.
KeyNames keyNames();

// The convention this build speaks, or the one chosen instead.
KeyboardConvention keyboardConvention();
// Chooses the table for views built from now on; nullopt returns to the
// build's own. For tests and previews.
void setKeyboardConvention(std::optional<KeyboardConvention> convention);

// Speaks `convention` while it lives, then the build's own again.
class ScopedKeyboardConvention {
public:
    explicit ScopedKeyboardConvention(KeyboardConvention convention) { setKeyboardConvention(convention); }
    ~ScopedKeyboardConvention() { setKeyboardConvention(std::nullopt); }
    ScopedKeyboardConvention(const ScopedKeyboardConvention&) = delete;
    ScopedKeyboardConvention& operator=(const ScopedKeyboardConvention&) = delete;
};

} // namespace kestrune
