// Core Foundation, as far as Kestrune's macOS backend uses it: our own
// transcription of the declarations on Apple's documentation pages named
// beside each group. Only for scripts/check-macos.sh; a Mac build uses the SDK.
#pragma once

#include <stdbool.h>
#include <stdint.h>

#if defined(__cplusplus)
extern "C" {
#endif

// https://developer.apple.com/documentation/corefoundation/cftyperef
typedef const void* CFTypeRef;
// https://developer.apple.com/documentation/corefoundation/cfindex
typedef long CFIndex;
typedef unsigned long CFHashCode;
typedef unsigned char Boolean;
typedef double CFTimeInterval;
typedef const struct __CFString* CFStringRef;
typedef const struct __CFAllocator* CFAllocatorRef;
typedef const struct __CFDictionary* CFDictionaryRef;
typedef struct __CFDictionary* CFMutableDictionaryRef;
// https://developer.apple.com/documentation/corefoundation/kcfallocatordefault
extern const CFAllocatorRef kCFAllocatorDefault;

// https://developer.apple.com/documentation/corefoundation/cfretain(_:)
CFTypeRef CFRetain(CFTypeRef cf);
// https://developer.apple.com/documentation/corefoundation/cfrelease(_:)
void CFRelease(CFTypeRef cf);

// Run loops: https://developer.apple.com/documentation/corefoundation/cfrunloop
typedef struct __CFRunLoop* CFRunLoopRef;
typedef struct __CFRunLoopSource* CFRunLoopSourceRef;
typedef CFStringRef CFRunLoopMode;
// https://developer.apple.com/documentation/corefoundation/kcfrunloopdefaultmode
extern const CFRunLoopMode kCFRunLoopDefaultMode;
// https://developer.apple.com/documentation/corefoundation/kcfrunloopcommonmodes
extern const CFRunLoopMode kCFRunLoopCommonModes;
// https://developer.apple.com/documentation/corefoundation/cfrunlooprunresult
typedef enum CFRunLoopRunResult : int32_t {
    kCFRunLoopRunFinished = 1,
    kCFRunLoopRunStopped = 2,
    kCFRunLoopRunTimedOut = 3,
    kCFRunLoopRunHandledSource = 4
} CFRunLoopRunResult;
// https://developer.apple.com/documentation/corefoundation/cfrunloopgetcurrent()
CFRunLoopRef CFRunLoopGetCurrent(void);
// https://developer.apple.com/documentation/corefoundation/cfrunloopgetmain()
CFRunLoopRef CFRunLoopGetMain(void);
// https://developer.apple.com/documentation/corefoundation/cfrunloopruninmode(_:_:_:)
CFRunLoopRunResult CFRunLoopRunInMode(CFRunLoopMode mode, CFTimeInterval seconds, Boolean returnAfterSourceHandled);
// https://developer.apple.com/documentation/corefoundation/cfrunloopstop(_:)
void CFRunLoopStop(CFRunLoopRef rl);
// https://developer.apple.com/documentation/corefoundation/cfrunloopwakeup(_:)
void CFRunLoopWakeUp(CFRunLoopRef rl);
// https://developer.apple.com/documentation/corefoundation/cfrunloopaddsource(_:_:_:)
void CFRunLoopAddSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode);
// https://developer.apple.com/documentation/corefoundation/cfrunloopremovesource(_:_:_:)
void CFRunLoopRemoveSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode);

// https://developer.apple.com/documentation/corefoundation/cfrunloopsourcecontext
typedef struct {
    CFIndex version;
    void* info;
    const void* (*retain)(const void* info);
    void (*release)(const void* info);
    CFStringRef (*copyDescription)(const void* info);
    Boolean (*equal)(const void* info1, const void* info2);
    CFHashCode (*hash)(const void* info);
    void (*schedule)(void* info, CFRunLoopRef rl, CFRunLoopMode mode);
    void (*cancel)(void* info, CFRunLoopRef rl, CFRunLoopMode mode);
    void (*perform)(void* info);
} CFRunLoopSourceContext;
// https://developer.apple.com/documentation/corefoundation/cfrunloopsourcecreate(_:_:_:)
CFRunLoopSourceRef CFRunLoopSourceCreate(CFAllocatorRef allocator, CFIndex order, CFRunLoopSourceContext* context);
// https://developer.apple.com/documentation/corefoundation/cfrunloopsourcesignal(_:)
void CFRunLoopSourceSignal(CFRunLoopSourceRef source);

// Mach ports: https://developer.apple.com/documentation/corefoundation/cfmachport
typedef struct __CFMachPort* CFMachPortRef;
// https://developer.apple.com/documentation/corefoundation/cfmachportcreaterunloopsource(_:_:_:)
CFRunLoopSourceRef CFMachPortCreateRunLoopSource(CFAllocatorRef allocator, CFMachPortRef port, CFIndex order);
// https://developer.apple.com/documentation/corefoundation/cfmachportinvalidate(_:)
void CFMachPortInvalidate(CFMachPortRef port);

#if defined(__cplusplus)
}
#endif
