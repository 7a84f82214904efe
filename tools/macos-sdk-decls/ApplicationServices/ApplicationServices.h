// Application Services: Core Graphics and the Accessibility trust calls of
// HIServices, as far as Kestrune's macOS backend uses them. Our own
// transcription of Apple's documentation pages named beside each
// declaration; only for scripts/check-macos.sh.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#if defined(__cplusplus)
extern "C" {
#endif

// Apple's HIServices/AXUIElement.h documentation, as published at
// https://docs.rs/objc2-application-services/latest/objc2_application_services/fn.AXIsProcessTrusted.html
// https://docs.rs/objc2-application-services/latest/objc2_application_services/fn.AXIsProcessTrustedWithOptions.html
// https://docs.rs/objc2-application-services/latest/objc2_application_services/static.kAXTrustedCheckOptionPrompt.html
// ("Prompting occurs asynchronously and does not affect the return value.")
Boolean AXIsProcessTrusted(void);
Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef options);
extern const CFStringRef kAXTrustedCheckOptionPrompt;

#if defined(__cplusplus)
}
#endif
