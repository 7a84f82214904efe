#include "platform/macos/MacWakeNotifier.h"

#import <AppKit/AppKit.h>

namespace kestrune {

MacWakeNotifier::MacWakeNotifier()
{
    id<NSObject> observer = [[[NSWorkspace sharedWorkspace] notificationCenter]
        addObserverForName:NSWorkspaceWillSleepNotification
                    object:nil
                     queue:[NSOperationQueue mainQueue]
                usingBlock:^(NSNotification* notification) {
                    (void)notification;
                    if (beforeSleep) {
                        const auto hook = beforeSleep; // may replace itself
                        hook();
                    }
                }];
    sleepObserver_ = (__bridge_retained void*)observer;
}

MacWakeNotifier::~MacWakeNotifier()
{
    removeObserver();
    id<NSObject> sleepObserver = (__bridge_transfer id<NSObject>)sleepObserver_;
    sleepObserver_ = nullptr;
    [[[NSWorkspace sharedWorkspace] notificationCenter] removeObserver:sleepObserver];
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
