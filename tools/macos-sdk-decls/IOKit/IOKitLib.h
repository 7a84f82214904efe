// IOKit's user library, as far as Kestrune's macOS backend uses it: our own
// transcription of Apple's IOKitLib.h as published in its open-source
// IOKitUser (https://opensource.apple.com/source/IOKitUser/IOKitUser-1178.1.4/IOKitLib.h.auto.html)
// and of Apple's header documentation as reproduced per function at
// https://docs.rs/objc2-io-kit/latest/objc2_io_kit/fn.<name>.html (the name
// beside each declaration). developer.apple.com's IOKit pages were not
// reachable here. Only for scripts/check-macos.sh; a Mac build uses the SDK.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#if defined(__cplusplus)
extern "C" {
#endif

typedef int kern_return_t;
#define KERN_SUCCESS 0
typedef unsigned int mach_port_t;
typedef mach_port_t task_port_t;
// mach/mach_init.h: the task's own port.
extern mach_port_t mach_task_self_;
#define mach_task_self() mach_task_self_

typedef mach_port_t io_object_t;
typedef io_object_t io_iterator_t;
typedef io_object_t io_service_t;
typedef io_object_t io_connect_t;
typedef char io_name_t[128];
typedef struct IONotificationPort* IONotificationPortRef;
// type.IOServiceMatchingCallback
typedef void (*IOServiceMatchingCallback)(void* refcon, io_iterator_t iterator);

// static.kIOMainPortDefault ("Pass kIOMainPortDefault to look up the default main port"; macOS 12)
extern const mach_port_t kIOMainPortDefault;
// IOKitKeys.h (listed under fn.IOServiceAddMatchingNotification)
#define kIOFirstMatchNotification "IOServiceFirstMatch"

// fn.IOServiceMatching
CFMutableDictionaryRef IOServiceMatching(const char* name);
// fn.IOServiceGetMatchingService
io_service_t IOServiceGetMatchingService(mach_port_t mainPort, CFDictionaryRef matching);
// fn.IOServiceOpen
kern_return_t IOServiceOpen(io_service_t service, task_port_t owningTask, uint32_t type, io_connect_t* connect);
// fn.IOServiceClose
kern_return_t IOServiceClose(io_connect_t connect);
// fn.IOObjectRelease
kern_return_t IOObjectRelease(io_object_t object);
// fn.IOIteratorNext
io_object_t IOIteratorNext(io_iterator_t iterator);
// fn.IONotificationPortCreate
IONotificationPortRef IONotificationPortCreate(mach_port_t mainPort);
// fn.IONotificationPortDestroy
void IONotificationPortDestroy(IONotificationPortRef notify);
// fn.IONotificationPortGetRunLoopSource
CFRunLoopSourceRef IONotificationPortGetRunLoopSource(IONotificationPortRef notify);
// fn.IOServiceAddMatchingNotification
kern_return_t IOServiceAddMatchingNotification(IONotificationPortRef notifyPort, const io_name_t notificationType,
                                               CFDictionaryRef matching, IOServiceMatchingCallback callback,
                                               void* refCon, io_iterator_t* notification);

#if defined(__cplusplus)
}
#endif
