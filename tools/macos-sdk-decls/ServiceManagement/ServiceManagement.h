// ServiceManagement's app service, as far as Kestrune's macOS backend uses
// it: our own transcription of https://developer.apple.com/documentation/servicemanagement/smappservice
// (macOS 13), .../smappservice/mainapp (Objective-C mainAppService),
// .../smappservice/status-swift.property, .../smappservice/status-swift.enum,
// .../smappservice/register(), .../smappservice/unregister(),
// .../smappservice/opensystemsettingsloginitems(). Only for
// scripts/check-macos.sh; a Mac build uses the SDK.
#pragma once

#include <Foundation/Foundation.h>

typedef enum SMAppServiceStatus : NSInteger {
    SMAppServiceStatusNotRegistered = 0,
    SMAppServiceStatusEnabled = 1,
    SMAppServiceStatusRequiresApproval = 2,
    SMAppServiceStatusNotFound = 3
} SMAppServiceStatus;

__attribute__((availability(macos, introduced = 13.0)))
@interface SMAppService : NSObject
@property (class, readonly) SMAppService* mainAppService;
@property (readonly) SMAppServiceStatus status;
- (BOOL)registerAndReturnError:(NSError**)error;
- (BOOL)unregisterAndReturnError:(NSError**)error;
+ (void)openSystemSettingsLoginItems;
@end
