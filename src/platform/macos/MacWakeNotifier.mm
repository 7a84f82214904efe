#include "platform/macos/MacWakeNotifier.h"

#import <AppKit/AppKit.h>

namespace kestrune {

namespace {

// Observes a workspace notice on the main queue; the token comes back
// retained, for forget().
void* observe(NSNotificationName name, void (^handler)(void))
{
    id<NSObject> token = [[[NSWorkspace sharedWorkspace] notificationCenter]
        addObserverForName:name
                    object:nil
                     queue:[NSOperationQueue mainQueue]
                usingBlock:^(NSNotification* notification) {
                    (void)notification;
                    handler();
                }];
    return (__bridge_retained void*)token;
}

void forget(void*& token)
{
    if (!token)
        return;
    id<NSObject> observer = (__bridge_transfer id<NSObject>)token;
    token = nullptr;
    [[[NSWorkspace sharedWorkspace] notificationCenter] removeObserver:observer];
}

} // namespace

MacWakeNotifier::MacWakeNotifier()
{
    sleepObserver_ = observe(NSWorkspaceWillSleepNotification, ^{
        if (beforeSleep) {
            const auto hook = beforeSleep; // may replace itself
            hook();
        }
    });
}

MacWakeNotifier::~MacWakeNotifier()
{
    forget(observer_);
    forget(sleepObserver_);
}

void MacWakeNotifier::setWakeHandler(std::function<void()> handler)
{
    forget(observer_);
    if (handler)
        observer_ = observe(NSWorkspaceDidWakeNotification, ^{ handler(); });
}

} // namespace kestrune
