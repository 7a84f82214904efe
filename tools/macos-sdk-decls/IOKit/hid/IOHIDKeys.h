// IOKit HID keys Kestrune's macOS backend uses: our own transcription of
// Apple's IOHIDKeys.h (IOHIDFamily), the class name of HID device services
// Only for scripts/check-macos.sh.
#pragma once

#define kIOHIDDeviceKey "IOHIDDevice"
