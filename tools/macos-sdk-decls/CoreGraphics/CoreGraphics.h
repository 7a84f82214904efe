// Core Graphics events and images, as far as Kestrune's macOS backend uses
// them: our own transcription of the declarations on Apple's documentation
// pages named beside each group (the C names are each page's "c:@" symbol).
// Only for scripts/check-macos.sh; a Mac build uses the SDK.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#if defined(__cplusplus)
extern "C" {
#endif

// https://developer.apple.com/documentation/corefoundation/cgfloat
typedef double CGFloat;
typedef struct CGImage* CGImageRef;

// https://developer.apple.com/documentation/coregraphics/cgevent
typedef struct __CGEvent* CGEventRef;
// https://developer.apple.com/documentation/coregraphics/cgeventsource
typedef struct __CGEventSource* CGEventSourceRef;
// https://developer.apple.com/documentation/coregraphics/cgeventtapproxy
typedef struct __CGEventTapProxy* CGEventTapProxy;
// https://developer.apple.com/documentation/coregraphics/cgkeycode
typedef uint16_t CGKeyCode;
// https://developer.apple.com/documentation/coregraphics/cgeventmask
typedef uint64_t CGEventMask;
// https://developer.apple.com/documentation/coregraphics/cgeventflags (options)
typedef uint64_t CGEventFlags;

// https://developer.apple.com/documentation/coregraphics/cgeventtype
typedef enum CGEventType : uint32_t {
    kCGEventNull = 0,
    kCGEventKeyDown = 10,
    kCGEventKeyUp = 11,
    kCGEventFlagsChanged = 12,
    // .../cgeventtype/tapdisabledbytimeout, .../cgeventtype/tapdisabledbyuserinput
    kCGEventTapDisabledByTimeout = 0xFFFFFFFE,
    kCGEventTapDisabledByUserInput = 0xFFFFFFFF
} CGEventType;

// https://developer.apple.com/documentation/coregraphics/cgeventtaplocation
typedef enum CGEventTapLocation : uint32_t {
    kCGHIDEventTap = 0,
    kCGSessionEventTap = 1,
    kCGAnnotatedSessionEventTap = 2
} CGEventTapLocation;
// https://developer.apple.com/documentation/coregraphics/cgeventtapplacement
typedef enum CGEventTapPlacement : uint32_t {
    kCGHeadInsertEventTap = 0,
    kCGTailAppendEventTap = 1
} CGEventTapPlacement;
// https://developer.apple.com/documentation/coregraphics/cgeventtapoptions
typedef enum CGEventTapOptions : uint32_t {
    kCGEventTapOptionDefault = 0x00000000,
    kCGEventTapOptionListenOnly = 0x00000001
} CGEventTapOptions;

// https://developer.apple.com/documentation/coregraphics/cgeventfield
typedef enum CGEventField : uint32_t {
    kCGKeyboardEventAutorepeat = 8, // .../cgeventfield/keyboardeventautorepeat
    kCGKeyboardEventKeycode = 9,    // .../cgeventfield/keyboardeventkeycode
    kCGEventSourceUserData = 42     // .../cgeventfield/eventsourceuserdata
} CGEventField;

// https://developer.apple.com/documentation/coregraphics/cgeventsourcestateid
typedef enum CGEventSourceStateID : int32_t {
    kCGEventSourceStatePrivate = -1,
    kCGEventSourceStateCombinedSessionState = 0,
    kCGEventSourceStateHIDSystemState = 1
} CGEventSourceStateID;

// https://developer.apple.com/documentation/coregraphics/cgeventtapcallback
typedef CGEventRef (*CGEventTapCallBack)(CGEventTapProxy proxy, CGEventType type, CGEventRef event, void* userInfo);

// https://developer.apple.com/documentation/coregraphics/cgevent/tapcreate(tap:place:options:eventsofinterest:callback:userinfo:)
CFMachPortRef CGEventTapCreate(CGEventTapLocation tap, CGEventTapPlacement place, CGEventTapOptions options,
                               CGEventMask eventsOfInterest, CGEventTapCallBack callback, void* userInfo);
// https://developer.apple.com/documentation/coregraphics/cgevent/tapenable(tap:enable:)
void CGEventTapEnable(CFMachPortRef tap, bool enable);
// https://developer.apple.com/documentation/coregraphics/cgevent/getintegervaluefield(_:)
int64_t CGEventGetIntegerValueField(CGEventRef event, CGEventField field);
// https://developer.apple.com/documentation/coregraphics/cgevent/setintegervaluefield(_:value:)
void CGEventSetIntegerValueField(CGEventRef event, CGEventField field, int64_t value);
// https://developer.apple.com/documentation/coregraphics/cgevent/flags
CGEventFlags CGEventGetFlags(CGEventRef event);
void CGEventSetFlags(CGEventRef event, CGEventFlags flags);
// https://developer.apple.com/documentation/coregraphics/cgeventsettype
void CGEventSetType(CGEventRef event, CGEventType type);
// https://developer.apple.com/documentation/coregraphics/cgeventsource/init(stateid:)
CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID stateID);
// https://developer.apple.com/documentation/coregraphics/cgevent/init(keyboardeventsource:virtualkey:keydown:)
CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef source, CGKeyCode virtualKey, bool keyDown);
// https://developer.apple.com/documentation/coregraphics/cgevent/post(tap:)
void CGEventPost(CGEventTapLocation tap, CGEventRef event);

#if defined(__cplusplus)
}
#endif
