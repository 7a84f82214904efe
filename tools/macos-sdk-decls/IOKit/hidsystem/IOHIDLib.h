// The HID system's parameter connection and modifier lock state: our own
// transcription of Apple's IOKitUser hidsystem headers, as published at
// https://opensource.apple.com/source/IOKitUser/IOKitUser-1845.60.2/hidsystem.subproj/IOHIDLib.h.auto.html
// (IOHIDGetModifierLockState / IOHIDSetModifierLockState) and IOHIDShared.h /
// IOHIDTypes.h (kIOHIDSystemClass, kIOHIDParamConnectType,
// kIOHIDCapsLockState); developer.apple.com has no page of its own for these.
// Only for scripts/check-macos.sh.
#pragma once

#include <IOKit/IOKitLib.h>

#if defined(__cplusplus)
extern "C" {
#endif

#define kIOHIDSystemClass "IOHIDSystem"
enum { kIOHIDParamConnectType = 1 };
enum { kIOHIDCapsLockState = 0x00000001, kIOHIDNumLockState = 0x00000002 };

kern_return_t IOHIDGetModifierLockState(io_connect_t handle, int selector, bool* state);
kern_return_t IOHIDSetModifierLockState(io_connect_t handle, int selector, bool state);

#if defined(__cplusplus)
}
#endif
