// AppKit, as far as Kestrune's macOS backend uses it: our own transcription
// of the declarations on Apple's documentation pages named beside each
// group. Only for scripts/check-macos.sh; a Mac build uses the SDK.
#pragma once

#include <Foundation/Foundation.h>

@class NSGraphicsContext, CALayer;

// https://developer.apple.com/documentation/appkit/nscolor
@interface NSColor : NSObject
@property (class, readonly, strong) NSColor* clearColor;
@end

// https://developer.apple.com/documentation/appkit/nsimage
typedef NSString* NSImageHintKey;
@interface NSImage : NSObject
// .../nsimage/cgimage(forproposedrect:context:hints:)
- (CGImageRef)CGImageForProposedRect:(NSRect*)proposedDestRect
                             context:(NSGraphicsContext*)referenceContext
                               hints:(NSDictionary<NSImageHintKey, id>*)hints;
@end

// https://developer.apple.com/documentation/appkit/nsbitmapimagerep
typedef enum NSBitmapImageFileType : NSUInteger {
    NSBitmapImageFileTypeTIFF = 0,
    NSBitmapImageFileTypeBMP = 1,
    NSBitmapImageFileTypeGIF = 2,
    NSBitmapImageFileTypeJPEG = 3,
    NSBitmapImageFileTypePNG = 4,
    NSBitmapImageFileTypeJPEG2000 = 5
} NSBitmapImageFileType;
typedef NSString* NSBitmapImageRepPropertyKey;
@interface NSBitmapImageRep : NSObject
// .../nsbitmapimagerep/init(cgimage:)
- (instancetype)initWithCGImage:(CGImageRef)cgImage;
// .../nsbitmapimagerep/representation(using:properties:)
- (NSData*)representationUsingType:(NSBitmapImageFileType)storageType
                        properties:(NSDictionary<NSBitmapImageRepPropertyKey, id>*)properties;
@end

// https://developer.apple.com/documentation/appkit/nsrunningapplication
@interface NSRunningApplication : NSObject
@property (readonly, copy) NSString* bundleIdentifier;
@end

// https://developer.apple.com/documentation/appkit/nsworkspace/openconfiguration (macOS 10.15)
@interface NSWorkspaceOpenConfiguration : NSObject
+ (instancetype)configuration;
@property BOOL activates;
@end

// https://developer.apple.com/documentation/appkit/nsworkspace
@interface NSWorkspace : NSObject
@property (class, readonly, strong) NSWorkspace* sharedWorkspace;
@property (readonly, strong) NSNotificationCenter* notificationCenter;
// .../nsworkspace/frontmostapplication
@property (readonly, strong) NSRunningApplication* frontmostApplication;
// .../nsworkspace/open(_:)
- (BOOL)openURL:(NSURL*)url;
// .../nsworkspace/openapplication(at:configuration:completionhandler:) (macOS 10.15;
// "AppKit executes the completion handler on a concurrent queue")
- (void)openApplicationAtURL:(NSURL*)applicationURL
               configuration:(NSWorkspaceOpenConfiguration*)configuration
           completionHandler:(void (^)(NSRunningApplication* app, NSError* error))completionHandler;
// .../nsworkspace/icon(forfile:)
- (NSImage*)iconForFile:(NSString*)fullPath;
@end
// https://developer.apple.com/documentation/appkit/nsworkspace/didwakenotification
extern NSNotificationName const NSWorkspaceDidWakeNotification;
// https://developer.apple.com/documentation/appkit/nsworkspace/willsleepnotification
extern NSNotificationName const NSWorkspaceWillSleepNotification;
// https://developer.apple.com/documentation/appkit/nsworkspace/didactivateapplicationnotification
extern NSNotificationName const NSWorkspaceDidActivateApplicationNotification;
// https://developer.apple.com/documentation/appkit/nsworkspace/diddeactivateapplicationnotification
extern NSNotificationName const NSWorkspaceDidDeactivateApplicationNotification;
// https://developer.apple.com/documentation/appkit/nsworkspace/applicationuserinfokey
extern NSString* const NSWorkspaceApplicationKey;

// https://developer.apple.com/documentation/appkit/nsresponder
@interface NSResponder : NSObject
@end

@class NSWindow;

// https://developer.apple.com/documentation/appkit/nsview/autoresizingmask-swift.struct
typedef NSUInteger NSAutoresizingMaskOptions;
enum : NSUInteger { NSViewWidthSizable = 2, NSViewHeightSizable = 16 };
// https://developer.apple.com/documentation/appkit/nswindow/orderingmode
typedef enum NSWindowOrderingMode : NSInteger {
    NSWindowAbove = 1,
    NSWindowBelow = -1,
    NSWindowOut = 0
} NSWindowOrderingMode;
typedef NSString* NSUserInterfaceItemIdentifier;

// https://developer.apple.com/documentation/appkit/nsview
@interface NSView : NSResponder
- (instancetype)initWithFrame:(NSRect)frameRect;
@property (readonly, weak) NSWindow* window;
@property (readonly, weak) NSView* superview;
@property (copy) NSArray<NSView*>* subviews;
@property NSRect frame;
@property (copy) NSUserInterfaceItemIdentifier identifier;
@property NSAutoresizingMaskOptions autoresizingMask;
@property BOOL wantsLayer;
@property (strong) CALayer* layer;
// .../nsview/addsubview(_:positioned:relativeto:)
- (void)addSubview:(NSView*)view positioned:(NSWindowOrderingMode)place relativeTo:(NSView*)otherView;
@end

// https://developer.apple.com/documentation/appkit/nswindow/level-swift.struct
typedef NSInteger NSWindowLevel;
// .../nswindow/level-swift.struct/statusbar (kCGStatusWindowLevel, 25)
static const NSWindowLevel NSStatusWindowLevel = 25;
// https://developer.apple.com/documentation/appkit/nswindow/collectionbehavior-swift.struct
typedef NSUInteger NSWindowCollectionBehavior;
enum : NSUInteger {
    NSWindowCollectionBehaviorCanJoinAllSpaces = 1 << 0,
    NSWindowCollectionBehaviorIgnoresCycle = 1 << 6,
    NSWindowCollectionBehaviorFullScreenAuxiliary = 1 << 8
};
// https://developer.apple.com/documentation/appkit/nswindow/stylemask-swift.struct
typedef NSUInteger NSWindowStyleMask;
enum : NSUInteger { NSWindowStyleMaskNonactivatingPanel = 1 << 7 };

// https://developer.apple.com/documentation/appkit/nswindow
@interface NSWindow : NSResponder
@property (getter=isOpaque) BOOL opaque;
@property (copy) NSColor* backgroundColor;
@property BOOL hasShadow;
@property NSWindowLevel level;
@property NSWindowCollectionBehavior collectionBehavior;
@property BOOL ignoresMouseEvents;
@property BOOL hidesOnDeactivate;
@property NSWindowStyleMask styleMask;
@property (strong) NSView* contentView;
// .../nswindow/orderfrontregardless()
- (void)orderFrontRegardless;
@end

// https://developer.apple.com/documentation/appkit/nspanel
@interface NSPanel : NSWindow
@property BOOL becomesKeyOnlyIfNeeded;
@end

// https://developer.apple.com/documentation/appkit/nsvisualeffectview (macOS 10.10)
typedef enum NSVisualEffectMaterial : NSInteger {
    NSVisualEffectMaterialPopover = 6 // .../material-swift.enum/popover (macOS 10.11)
} NSVisualEffectMaterial;
typedef enum NSVisualEffectBlendingMode : NSInteger {
    NSVisualEffectBlendingModeBehindWindow = 0,
    NSVisualEffectBlendingModeWithinWindow = 1
} NSVisualEffectBlendingMode;
typedef enum NSVisualEffectState : NSInteger {
    NSVisualEffectStateFollowsWindowActiveState = 0,
    NSVisualEffectStateActive = 1,
    NSVisualEffectStateInactive = 2
} NSVisualEffectState;
@interface NSVisualEffectView : NSView
@property NSVisualEffectMaterial material;
@property NSVisualEffectBlendingMode blendingMode;
@property NSVisualEffectState state;
@end

// https://developer.apple.com/documentation/appkit/nsglasseffectview (macOS 26)
typedef enum NSGlassEffectViewStyle : NSInteger {
    NSGlassEffectViewStyleRegular = 0,
    NSGlassEffectViewStyleClear = 1
} NSGlassEffectViewStyle;
__attribute__((availability(macos, introduced = 26.0)))
@interface NSGlassEffectView : NSView
@property NSGlassEffectViewStyle style; // .../nsglasseffectview/style-swift.property
@property (strong) NSView* contentView; // .../nsglasseffectview/contentview
@property CGFloat cornerRadius;
@end
