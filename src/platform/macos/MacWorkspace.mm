#include "platform/macos/MacWorkspace.h"

#include "platform/AppBundle.h"
#include "platform/macos/MacStrings.h"

#import <AppKit/AppKit.h>

namespace kestrune {

using mac::toNSString;
using mac::toOptionalQString;
using mac::toQString;

namespace {

std::optional<QString> bundleIdOf(NSNotification* notification)
{
    id application = [[notification userInfo] objectForKey:NSWorkspaceApplicationKey];
    if (![application isKindOfClass:[NSRunningApplication class]])
        return std::nullopt;
    return toOptionalQString([static_cast<NSRunningApplication*>(application) bundleIdentifier]);
}

void* observe(NSNotificationName name, WorkspaceObservers* observers, bool activation)
{
    id<NSObject> token = [[[NSWorkspace sharedWorkspace] notificationCenter]
        addObserverForName:name
                    object:nil
                     queue:[NSOperationQueue mainQueue]
                usingBlock:^(NSNotification* notification) {
                    observers->notify(activation, bundleIdOf(notification));
                }];
    return (__bridge_retained void*)token;
}

void stopObserving(void* token)
{
    if (!token)
        return;
    id<NSObject> observer = (__bridge_transfer id<NSObject>)token;
    [[[NSWorkspace sharedWorkspace] notificationCenter] removeObserver:observer];
}

} // namespace

MacWorkspace::MacWorkspace(Scheduler& scheduler)
    : scheduler_(scheduler)
    , activationObserver_(observe(NSWorkspaceDidActivateApplicationNotification, &observers_, true))
    , deactivationObserver_(observe(NSWorkspaceDidDeactivateApplicationNotification, &observers_, false))
{
}

MacWorkspace::~MacWorkspace()
{
    stopObserving(activationObserver_);
    stopObserving(deactivationObserver_);
}

std::optional<QString> MacWorkspace::frontmostBundleId() const
{
    NSRunningApplication* frontmost = [[NSWorkspace sharedWorkspace] frontmostApplication];
    if (!frontmost)
        return std::nullopt;
    return toOptionalQString([frontmost bundleIdentifier]);
}

int MacWorkspace::addActivationObserver(ActivationHandler handler)
{
    return observers_.add(true, std::move(handler));
}

int MacWorkspace::addDeactivationObserver(ActivationHandler handler)
{
    return observers_.add(false, std::move(handler));
}

void MacWorkspace::removeObserver(int token)
{
    observers_.remove(token);
}

std::optional<AppIdentity> MacWorkspace::applicationAt(const QUrl& url) const
{
    BundleFacts facts;
    facts.path = applicationPath(url);
    if (facts.path.isEmpty())
        return std::nullopt;
    NSBundle* bundle = [NSBundle bundleWithPath:toNSString(facts.path)];
    if (bundle) {
        facts.isBundle = true;
        facts.identifier = toOptionalQString([bundle bundleIdentifier]);
        NSDictionary* info = [bundle infoDictionary];
        NSDictionary* localized = [bundle localizedInfoDictionary];
        facts.packageType = mac::stringForKey(info, @"CFBundlePackageType");
        facts.displayName = mac::stringForKey(localized, @"CFBundleDisplayName");
        if (!facts.displayName)
            facts.displayName = mac::stringForKey(info, @"CFBundleDisplayName");
        facts.bundleName = mac::stringForKey(localized, @"CFBundleName");
        if (!facts.bundleName)
            facts.bundleName = mac::stringForKey(info, @"CFBundleName");
    }
    return applicationIdentity(facts);
}

void MacWorkspace::openApplication(const QUrl& url, std::function<void(const QString& error)> completion)
{
    const QString path = applicationPath(url);
    if (path.isEmpty()) {
        scheduler_.post([completion] {
            if (completion)
                completion(kCannotOpen);
        });
        return;
    }
    NSWorkspaceOpenConfiguration* configuration = [NSWorkspaceOpenConfiguration configuration];
    configuration.activates = YES;
    Scheduler* scheduler = &scheduler_;
    [[NSWorkspace sharedWorkspace] openApplicationAtURL:[NSURL fileURLWithPath:toNSString(path)]
                                          configuration:configuration
                                      completionHandler:^(NSRunningApplication* application, NSError* error) {
                                          (void)application;
                                          QString text;
                                          if (error) {
                                              text = toQString([error localizedDescription]);
                                              if (text.isEmpty())
                                                  text = kCannotOpen;
                                          }
                                          scheduler->post([completion, text] {
                                              if (completion)
                                                  completion(text);
                                          });
                                      }];
}

void MacWorkspace::openUrl(const QUrl& url)
{
    NSURL* target = [NSURL URLWithString:toNSString(QString::fromLatin1(url.toEncoded()))];
    if (target)
        [[NSWorkspace sharedWorkspace] openURL:target];
}

QImage MacWorkspace::applicationIcon(const QString& path, const QSize& size)
{
    NSImage* icon = [[NSWorkspace sharedWorkspace] iconForFile:toNSString(path)];
    if (!icon || size.isEmpty())
        return QImage();
    NSRect proposed = NSMakeRect(0, 0, size.width(), size.height());
    CGImageRef picture = [icon CGImageForProposedRect:&proposed context:nil hints:nil];
    if (!picture)
        return QImage();
    NSBitmapImageRep* bitmap = [[NSBitmapImageRep alloc] initWithCGImage:picture];
    NSData* png = [bitmap representationUsingType:NSBitmapImageFileTypePNG properties:[NSDictionary dictionary]];
    if (!png)
        return QImage();
    QImage image;
    image.loadFromData(static_cast<const uchar*>([png bytes]), static_cast<int>([png length]), "PNG");
    return image;
}

} // namespace kestrune
