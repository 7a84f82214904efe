#include "launcher/PhysicalKey.h"

#if defined(Q_OS_LINUX)
#include "platform/linux/EvdevKeyTable.h"
#endif

namespace kestrune {

namespace {
#if defined(Q_OS_LINUX)
// xkb numbers keys from the evdev code plus 8 (the X11 keycode offset).
constexpr quint32 kXkbOffset = 8;
#endif
} // namespace

std::optional<KeyCode> physicalKeyCode(quint32 nativeScanCode, quint32 nativeVirtualKey)
{
#if defined(Q_OS_MACOS)
    Q_UNUSED(nativeScanCode);
    return static_cast<KeyCode>(nativeVirtualKey);
#elif defined(Q_OS_LINUX)
    Q_UNUSED(nativeVirtualKey);
    if (nativeScanCode <= kXkbOffset)
        return std::nullopt;
    const KeyCode code = evdev::macKeyFor(nativeScanCode - kXkbOffset);
    return code < 0 ? std::nullopt : std::optional<KeyCode>(code);
#else
    Q_UNUSED(nativeScanCode);
    Q_UNUSED(nativeVirtualKey);
    return std::nullopt;
#endif
}

bool isModifierKeyCode(KeyCode code)
{
    // kVK_RightCommand (54) … kVK_RightControl (62), and kVK_Function (63).
    return code >= kc::kVK_Command_R && code <= 63;
}

} // namespace kestrune
