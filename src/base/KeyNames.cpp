#include "base/KeyNames.h"

#include <QCoreApplication>

namespace kestrune {

namespace {

constexpr KeyboardConvention kBuildConvention =
#ifdef Q_OS_MACOS
    KeyboardConvention::macOS;
#else
    KeyboardConvention::linuxDesktop;
#endif

std::optional<KeyboardConvention> chosen;

} // namespace

KeyNames keyNamesFor(KeyboardConvention convention)
{
    KeyNames names;
    names.convention = convention;
    if (convention == KeyboardConvention::macOS) {
        // The modifiers keep the names printed on Apple keyboards in every
        // language, as macOS itself writes them.
        names.modifierNames = {QStringLiteral("Command"), QStringLiteral("Option"), QStringLiteral("Control"),
                               QStringLiteral("Shift")};
        names.modifierSymbols = {QStringLiteral("⌘"), QStringLiteral("⌥"), QStringLiteral("⌃"), QStringLiteral("⇧")};
        names.backspace =
            QCoreApplication::translate("KeyNames", "Delete", "The macOS key that deletes backwards (Backspace elsewhere)");
        names.forwardDelete = QCoreApplication::translate("KeyRemapper", "Fn + Delete", "Forward Delete key");
        names.backspaceShort =
            QCoreApplication::translate("KeyNames", "Del", "Short for the macOS Delete key (Backspace elsewhere)");
        names.forwardDeleteShort =
            QCoreApplication::translate("KeyNames", "Fn+Del", "Short for Fn + Delete, the forward delete of a Mac keyboard");
    } else {
        // The legends of a PC keyboard, as GNOME and KDE write shortcuts.
        names.modifierNames = {QStringLiteral("Super"), QStringLiteral("Alt"), QStringLiteral("Ctrl"),
                               QStringLiteral("Shift")};
        names.modifierSymbols = names.modifierNames;
        names.backspace = QCoreApplication::translate("KeyNames", "Backspace", "The key that deletes backwards");
        names.forwardDelete =
            QCoreApplication::translate("KeyNames", "Delete", "The PC keyboard's Delete key, which deletes forwards");
        names.backspaceShort = names.backspace;
        names.forwardDeleteShort = names.forwardDelete;
    }
    return names;
}

KeyNames keyNames() { return keyNamesFor(keyboardConvention()); }

KeyboardConvention keyboardConvention() { return chosen.value_or(kBuildConvention); }

void setKeyboardConvention(std::optional<KeyboardConvention> convention) { chosen = convention; }

QStringList KeyNames::combinationKeys(uint64_t flags) const
{
    QStringList keys;
    for (size_t i = 0; i < kModifierOrder.size(); ++i)
        if (flags & kModifierOrder[i])
            keys << modifierSymbols[i];
    return keys;
}

QString KeyNames::combination(uint64_t flags, bool spaced) const
{
    const QStringList keys = combinationKeys(flags);
    if (!isMac())
        return keys.join(QLatin1Char('+'));
    return keys.join(spaced ? QStringLiteral(" ") : QString());
}

} // namespace kestrune
