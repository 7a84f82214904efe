#pragma once
// The part of Sparkle 2's SPUStandardUpdaterController that Kestrune uses,
// as Sparkle's API reference declares it
// (https://sparkle-project.org/documentation/api-reference/Classes/SPUStandardUpdaterController.html).
// Kestrune does not link Sparkle: the framework is loaded from the bundle at
// run time and the class is found by name, so this interface is only ever
// sent messages through an instance, never through the class symbol.
// Objective-C++ only. The class must be used on the main thread.

#import <Foundation/Foundation.h>

#pragma clang assume_nonnull begin
@interface SPUStandardUpdaterController : NSObject
- (instancetype)initWithStartingUpdater:(BOOL)startUpdater
                        updaterDelegate:(nullable id)updaterDelegate
                     userDriverDelegate:(nullable id)userDriverDelegate;
- (void)checkForUpdates:(nullable id)sender;
@end
#pragma clang assume_nonnull end
