#pragma once
// Text across the Objective-C edge, through UTF-8 only, so that nothing
// depends on Qt's Apple-only conversions. Objective-C++ only.

#import <Foundation/Foundation.h>

#include <QString>
#include <optional>

namespace kestrune::mac {

inline NSString* toNSString(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return [[NSString alloc] initWithBytes:utf8.constData()
                                    length:static_cast<NSUInteger>(utf8.size())
                                  encoding:NSUTF8StringEncoding];
}

inline QString toQString(NSString* text)
{
    if (!text)
        return QString();
    const char* utf8 = [text UTF8String];
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

// nullopt for nil (an absent value), as opposed to an empty text.
inline std::optional<QString> toOptionalQString(NSString* text)
{
    if (!text)
        return std::nullopt;
    return toQString(text);
}

// The string value under `key` in an Info.plist dictionary, when it is one.
inline std::optional<QString> stringForKey(NSDictionary* dictionary, NSString* key)
{
    id value = [dictionary objectForKey:key];
    if (![value isKindOfClass:[NSString class]])
        return std::nullopt;
    return toQString(static_cast<NSString*>(value));
}

} // namespace kestrune::mac
