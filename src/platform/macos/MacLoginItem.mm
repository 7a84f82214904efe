#include "platform/macos/MacLoginItem.h"

#include "platform/LoginItemApproval.h"
#include "platform/macos/MacStrings.h"

#import <ServiceManagement/ServiceManagement.h>

namespace kestrune {

namespace {
QString describe(NSError* error)
{
    const QString text = error ? mac::toQString([error localizedDescription]) : QString();
    return text.isEmpty() ? QStringLiteral("The system refused the change.") : text;
}
} // namespace

LoginItemStatus MacLoginItem::status() const
{
    switch ([[SMAppService mainAppService] status]) {
    case SMAppServiceStatusNotRegistered:
        return LoginItemStatus::NotRegistered;
    case SMAppServiceStatusEnabled:
        return LoginItemStatus::Enabled;
    case SMAppServiceStatusRequiresApproval:
        return LoginItemStatus::RequiresApproval;
    case SMAppServiceStatusNotFound:
        return LoginItemStatus::NotFound;
    }
    return LoginItemStatus::NotFound;
}

bool MacLoginItem::registerItem(QString* error)
{
    NSError* failure = nil;
    const BOOL accepted = [[SMAppService mainAppService] registerAndReturnError:&failure];
    const LoginItemRegistration result = registrationResult(accepted ? QString() : describe(failure), status());
    if (result.needsApproval)
        [SMAppService openSystemSettingsLoginItems];
    if (!result.ok && error)
        *error = result.error;
    return result.ok;
}

bool MacLoginItem::unregisterItem(QString* error)
{
    NSError* failure = nil;
    if ([[SMAppService mainAppService] unregisterAndReturnError:&failure])
        return true;
    if (error)
        *error = describe(failure);
    return false;
}

} // namespace kestrune
