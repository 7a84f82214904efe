#include "platform/macos/MacWindows.h"

#import <AppKit/AppKit.h>
#import <QuartzCore/QuartzCore.h>

#include <QWindow>

namespace kestrune {

namespace {

NSString* const kGlassIdentifier = @"com.kestrune.Kestrune.glass";

// A QWindow's native view is its NSView; the NSWindow holds it.
NSView* nativeView(QWindow* window)
{
    if (!window)
        return nil;
    return (__bridge NSView*)reinterpret_cast<void*>(window->winId());
}

NSView* makeGlass(NSRect frame, double cornerRadius)
{
    if (@available(macOS 26.0, *)) {
        NSGlassEffectView* glass = [[NSGlassEffectView alloc] initWithFrame:frame];
        glass.style = NSGlassEffectViewStyleRegular;
        glass.cornerRadius = cornerRadius;
        return glass;
    }
    NSVisualEffectView* effect = [[NSVisualEffectView alloc] initWithFrame:frame];
    effect.material = NSVisualEffectMaterialPopover;
    effect.blendingMode = NSVisualEffectBlendingModeBehindWindow;
    effect.state = NSVisualEffectStateActive;
    effect.wantsLayer = YES;
    effect.layer.cornerRadius = cornerRadius;
    effect.layer.masksToBounds = YES;
    return effect;
}

} // namespace

void applyPanelGlass(QWindow* window, double cornerRadius)
{
    NSView* content = nativeView(window);
    NSWindow* nsWindow = [content window];
    if (!nsWindow)
        return;
    nsWindow.opaque = NO;
    nsWindow.backgroundColor = [NSColor clearColor];
    nsWindow.hasShadow = YES;
    // Qt's view stays the window's content view (Qt positions the window
    // through it); the glass goes beside it, underneath.
    NSView* frameView = [content superview];
    if (!frameView)
        return;
    for (NSView* sibling in [frameView subviews]) {
        if ([[sibling identifier] isEqualToString:kGlassIdentifier])
            return;
    }
    NSView* glass = makeGlass([content frame], cornerRadius);
    glass.identifier = kGlassIdentifier;
    glass.autoresizingMask = NSViewWidthSizable | NSViewHeightSizable;
    [frameView addSubview:glass positioned:NSWindowBelow relativeTo:content];
}

void configureHudWindow(QWindow* window)
{
    NSWindow* nsWindow = [nativeView(window) window];
    if (!nsWindow)
        return;
    nsWindow.level = NSStatusWindowLevel;
    nsWindow.collectionBehavior = NSWindowCollectionBehaviorCanJoinAllSpaces | NSWindowCollectionBehaviorIgnoresCycle
                                  | NSWindowCollectionBehaviorFullScreenAuxiliary;
    nsWindow.ignoresMouseEvents = YES;
    nsWindow.hidesOnDeactivate = NO;
    nsWindow.hasShadow = NO;
    if ([nsWindow isKindOfClass:[NSPanel class]]) {
        NSPanel* panel = static_cast<NSPanel*>(nsWindow);
        panel.styleMask = panel.styleMask | NSWindowStyleMaskNonactivatingPanel;
        panel.becomesKeyOnlyIfNeeded = YES;
    }
    if (window->isVisible())
        [nsWindow orderFrontRegardless];
}

} // namespace kestrune
