#pragma once
// Virtual key codes in the macOS numbering, which the engine uses, stores and
// displays on every platform, and the event flag bits in the macOS layout.

#include <cstdint>

namespace kestrune {

using KeyCode = int64_t;

namespace kc {
inline constexpr KeyCode kVK_ANSI_A = 0;
inline constexpr KeyCode kVK_ANSI_S = 1;
inline constexpr KeyCode kVK_ANSI_D = 2;
inline constexpr KeyCode kVK_ANSI_H = 4;
inline constexpr KeyCode kVK_ANSI_W = 13;
inline constexpr KeyCode kVK_ANSI_L = 37;
inline constexpr KeyCode kVK_ANSI_J = 38;
inline constexpr KeyCode kVK_ANSI_K = 40;
inline constexpr KeyCode kVK_Return = 36;
inline constexpr KeyCode kVK_Tab = 48;
inline constexpr KeyCode kVK_Space = 49;
inline constexpr KeyCode kVK_Delete = 51;
inline constexpr KeyCode kVK_Escape = 53;
inline constexpr KeyCode kVK_Command_R = 54;
inline constexpr KeyCode kVK_Command_L = 55;
inline constexpr KeyCode kVK_Shift_L = 56;
inline constexpr KeyCode kVK_CapsLock = 57;
inline constexpr KeyCode kVK_Option_L = 58;
inline constexpr KeyCode kVK_Control_L = 59;
inline constexpr KeyCode kVK_Shift_R = 60;
inline constexpr KeyCode kVK_Option_R = 61;
inline constexpr KeyCode kVK_Control_R = 62;
inline constexpr KeyCode kVK_F19 = 80;
inline constexpr KeyCode kVK_JIS_Eisu = 102;
inline constexpr KeyCode kVK_JIS_Kana = 104;
inline constexpr KeyCode kVK_ForwardDelete = 117;
inline constexpr KeyCode kVK_LeftArrow = 123;
inline constexpr KeyCode kVK_RightArrow = 124;
inline constexpr KeyCode kVK_DownArrow = 125;
inline constexpr KeyCode kVK_UpArrow = 126;
} // namespace kc

namespace flags {
inline constexpr uint64_t kAlphaShift = 0x10000;
inline constexpr uint64_t kShift = 0x20000;
inline constexpr uint64_t kControl = 0x40000;
inline constexpr uint64_t kOption = 0x80000;
inline constexpr uint64_t kCommand = 0x100000;
inline constexpr uint64_t kModifierMask = kShift | kControl | kOption | kCommand;
} // namespace flags

} // namespace kestrune
