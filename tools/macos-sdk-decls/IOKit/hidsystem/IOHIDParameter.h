// The HID system's parameter definitions. MacCapsLock.mm imports this beside
// IOHIDLib.h, as Apple's hidsystem headers are commonly used together; the
// declarations it needs are transcribed in IOHIDLib.h here. Only for
// scripts/check-macos.sh.
#pragma once

#include <IOKit/hidsystem/IOHIDLib.h>
