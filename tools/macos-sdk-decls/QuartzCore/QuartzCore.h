// Core Animation layers, as far as Kestrune's macOS backend uses them: our
// own transcription of https://developer.apple.com/documentation/quartzcore/calayer
// (cornerRadius, masksToBounds). Only for scripts/check-macos.sh.
#pragma once

#include <Foundation/Foundation.h>

@interface CALayer : NSObject
@property CGFloat cornerRadius;
@property BOOL masksToBounds;
@end
