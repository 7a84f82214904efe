#include "platform/macos/MacWakeNotifier.h"

#import <AppKit/AppKit.h>

namespace kestrune {

MacWakeNotifier::~MacWakeNotifier()
{
    removeObserver();
}

void MacWakeNotifier::removeObserver()
{
    if (!observer_)
        return;
    id<NSObject> observer = (__bridge_transfer id<NSObject>)observer_;
    observer_ = nullptr;
    [[[NSWorkspace sharedWorkspace] notificationCenter] removeObserver:observer];
}

void MacWakeNotifier::setWakeHandler(std::function<void()> handler)
{
    removeObserver();
    if (!handler)
        return;
    id<NSObject> observer = [[[NSWorkspace sharedWorkspace] notificationCenter]
        addObserverForName:NSWorkspaceDidWakeNotification
                    object:nil
                     queue:[NSOperationQueue mainQueue]
                usingBlock:^(NSNotification* notification) {
                    (void)notification;
                    handler();
                }];
    observer_ = (__bridge_retained void*)observer;
}

} // namespace kestrune
