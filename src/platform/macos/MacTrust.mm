#include "platform/macos/MacTrust.h"

#import <AppKit/AppKit.h>
#import <ApplicationServices/ApplicationServices.h>

namespace kestrune {

bool MacTrust::isTrusted() const
{
    return AXIsProcessTrusted();
}

bool MacTrust::requestTrust()
{
    NSDictionary* options = [NSDictionary dictionaryWithObject:[NSNumber numberWithBool:YES]
                                                        forKey:(__bridge NSString*)kAXTrustedCheckOptionPrompt];
    return AXIsProcessTrustedWithOptions((__bridge CFDictionaryRef)options);
}

void MacTrust::openTrustSettings()
{
    NSURL* pane = [NSURL URLWithString:[NSString stringWithUTF8String:kAccessibilityPaneUrl]];
    if (pane)
        [[NSWorkspace sharedWorkspace] openURL:pane];
}

} // namespace kestrune
