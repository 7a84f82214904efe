// Foundation and the Objective-C runtime, as far as Kestrune's macOS backend
// uses them: our own transcription of the declarations on Apple's
// documentation pages named beside each class. Only for
// scripts/check-macos.sh; a Mac build uses the SDK.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

// https://developer.apple.com/documentation/objectivec/bool
typedef bool BOOL;
#define YES true
#define NO false
// objc/objc.h: the null object
#define nil nullptr
// https://developer.apple.com/documentation/objectivec/nsinteger
typedef long NSInteger;
typedef unsigned long NSUInteger;

// https://developer.apple.com/documentation/foundation/nsrect
typedef struct CGPoint { CGFloat x; CGFloat y; } CGPoint;
typedef struct CGSize { CGFloat width; CGFloat height; } CGSize;
typedef struct CGRect { CGPoint origin; CGSize size; } CGRect;
typedef CGRect NSRect;
// https://developer.apple.com/documentation/foundation/nsmakerect(_:_:_:_:)
static inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h)
{
    NSRect r = {{x, y}, {w, h}};
    return r;
}

@class NSString, NSDictionary, NSArray;

// https://developer.apple.com/documentation/objectivec/nsobjectprotocol
@protocol NSObject
- (BOOL)isKindOfClass:(Class)aClass;
- (BOOL)isEqual:(id)object;
@end

// https://developer.apple.com/documentation/objectivec/nsobject
__attribute__((objc_root_class))
@interface NSObject <NSObject>
+ (instancetype)alloc;
+ (Class)class;
- (instancetype)init;
@end

// https://developer.apple.com/documentation/objectivec/1418952-nsclassfromstring
#if defined(__cplusplus)
extern "C" {
#endif
Class NSClassFromString(NSString* aClassName);
#if defined(__cplusplus)
}
#endif

// https://developer.apple.com/documentation/foundation/nsfastenumeration
typedef struct {
    unsigned long state;
    id __unsafe_unretained* itemsPtr;
    unsigned long* mutationsPtr;
    unsigned long extra[5];
} NSFastEnumerationState;
@protocol NSFastEnumeration
- (NSUInteger)countByEnumeratingWithState:(NSFastEnumerationState*)state
                                  objects:(id __unsafe_unretained[])buffer
                                    count:(NSUInteger)len;
@end

// https://developer.apple.com/documentation/foundation/nsstring
typedef NSUInteger NSStringEncoding;
enum { NSUTF8StringEncoding = 4 };
@interface NSString : NSObject
// .../nsstring/init(bytes:length:encoding:)
- (instancetype)initWithBytes:(const void*)bytes length:(NSUInteger)len encoding:(NSStringEncoding)encoding;
// .../nsstring/utf8string
@property (readonly) const char* UTF8String;
// .../nsstring/init(utf8string:)
+ (instancetype)stringWithUTF8String:(const char*)nullTerminatedCString;
// .../nsstring/isequal(to:)
- (BOOL)isEqualToString:(NSString*)aString;
@end

// https://developer.apple.com/documentation/foundation/nsarray
@interface NSArray<ObjectType> : NSObject <NSFastEnumeration>
@property (readonly) NSUInteger count;
@end

// https://developer.apple.com/documentation/foundation/nsdictionary
@interface NSDictionary<KeyType, ObjectType> : NSObject
+ (instancetype)dictionary;
+ (instancetype)dictionaryWithObject:(ObjectType)object forKey:(KeyType)key;
- (ObjectType)objectForKey:(KeyType)aKey;
@end

// https://developer.apple.com/documentation/foundation/nsnumber
@interface NSNumber : NSObject
+ (NSNumber*)numberWithBool:(BOOL)value;
@end

// https://developer.apple.com/documentation/foundation/nsdata
@interface NSData : NSObject
@property (readonly) const void* bytes;
@property (readonly) NSUInteger length;
@end

// https://developer.apple.com/documentation/foundation/nserror
@interface NSError : NSObject
@property (readonly, copy) NSString* localizedDescription;
@end

// https://developer.apple.com/documentation/foundation/nsurl
@interface NSURL : NSObject
+ (instancetype)URLWithString:(NSString*)URLString;
+ (NSURL*)fileURLWithPath:(NSString*)path;
- (NSURL*)URLByAppendingPathComponent:(NSString*)pathComponent;
@end

// https://developer.apple.com/documentation/foundation/bundle
@interface NSBundle : NSObject
@property (class, readonly, strong) NSBundle* mainBundle;
+ (instancetype)bundleWithPath:(NSString*)path;
+ (instancetype)bundleWithURL:(NSURL*)url;
- (BOOL)load;
@property (readonly, copy) NSString* bundleIdentifier;
@property (readonly, copy) NSDictionary<NSString*, id>* infoDictionary;
@property (readonly, copy) NSDictionary<NSString*, id>* localizedInfoDictionary;
@property (readonly, copy) NSURL* privateFrameworksURL;
@end

// https://developer.apple.com/documentation/foundation/nsnotification
typedef NSString* NSNotificationName;
@interface NSNotification : NSObject
@property (readonly, copy) NSNotificationName name;
@property (readonly, copy) NSDictionary* userInfo;
@end

// https://developer.apple.com/documentation/foundation/operationqueue
@interface NSOperationQueue : NSObject
@property (class, readonly, strong) NSOperationQueue* mainQueue;
@end

// https://developer.apple.com/documentation/foundation/notificationcenter
@interface NSNotificationCenter : NSObject
// .../notificationcenter/addobserver(forname:object:queue:using:)
- (id<NSObject>)addObserverForName:(NSNotificationName)name
                            object:(id)obj
                             queue:(NSOperationQueue*)queue
                        usingBlock:(void (^)(NSNotification* notification))block;
// .../notificationcenter/removeobserver(_:)
- (void)removeObserver:(id)observer;
@end
