#include "platform/TapTranslation.h"

namespace kestrune {

namespace {
// The flag a modifier key holds down; 0 for other keys.
uint64_t modifierFlag(KeyCode key)
{
    switch (key) {
    case kc::kVK_Shift_L:
    case kc::kVK_Shift_R:
        return flags::kShift;
    case kc::kVK_Control_L:
    case kc::kVK_Control_R:
        return flags::kControl;
    case kc::kVK_Option_L:
    case kc::kVK_Option_R:
        return flags::kOption;
    case kc::kVK_Command_L:
    case kc::kVK_Command_R:
        return flags::kCommand;
    case kc::kVK_CapsLock:
        return flags::kAlphaShift;
    default:
        return 0;
    }
}
} // namespace

std::optional<EventType> eventTypeFromNative(uint32_t nativeType)
{
    switch (static_cast<EventType>(nativeType)) {
    case EventType::KeyDown:
    case EventType::KeyUp:
    case EventType::FlagsChanged:
    case EventType::TapDisabledByTimeout:
    case EventType::TapDisabledByUserInput:
        return static_cast<EventType>(nativeType);
    }
    return std::nullopt;
}

TapOutcome handleNativeEvent(EventHandler& handler, const NativeKeyFields& in)
{
    TapOutcome out;
    const std::optional<EventType> type = eventTypeFromNative(in.type);
    if (!type)
        return out;
    KeyEvent event{*type, in.keyCode, in.flags, in.userData, in.autorepeat};
    if (*type == EventType::TapDisabledByTimeout || *type == EventType::TapDisabledByUserInput) {
        // The notice carries no key; whatever the handler does, it passes.
        handler.handleEvent(event);
        return out;
    }
    if (!handler.handleEvent(event)) {
        out.action = TapOutcome::Action::Drop;
        return out;
    }
    out.fields = {static_cast<uint32_t>(event.type), event.keyCode, event.flags, event.userData, event.autorepeat};
    out.typeChanged = out.fields.type != in.type;
    out.keyCodeChanged = event.keyCode != in.keyCode;
    out.flagsChanged = event.flags != in.flags;
    out.userDataChanged = event.userData != in.userData;
    if (out.typeChanged || out.keyCodeChanged || out.flagsChanged || out.userDataChanged)
        out.action = TapOutcome::Action::PassRewritten;
    return out;
}

std::optional<NativePost> nativePostFor(const KeyEvent& event)
{
    if (event.keyCode < 0 || event.keyCode > 0xFFFF)
        return std::nullopt;
    NativePost post;
    post.keyCode = static_cast<uint16_t>(event.keyCode);
    post.type = static_cast<uint32_t>(event.type);
    post.flags = event.flags;
    post.userData = event.userData;
    switch (event.type) {
    case EventType::KeyDown:
        post.keyDown = true;
        return post;
    case EventType::KeyUp:
        post.keyDown = false;
        return post;
    case EventType::FlagsChanged:
        // A modifier key goes down when its own flag is among the event's
        // flags; any other key cannot change the flags.
        if (modifierFlag(event.keyCode) == 0)
            return std::nullopt;
        post.keyDown = (event.flags & modifierFlag(event.keyCode)) != 0;
        return post;
    case EventType::TapDisabledByTimeout:
    case EventType::TapDisabledByUserInput:
        break;
    }
    return std::nullopt;
}

} // namespace kestrune
