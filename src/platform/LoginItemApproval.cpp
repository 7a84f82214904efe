#include "platform/LoginItemApproval.h"

namespace kestrune {

LoginItemRegistration registrationResult(const QString& systemError, LoginItemStatus statusAfter)
{
    // Whatever the system answered, an item awaiting approval does not run.
    if (statusAfter == LoginItemStatus::RequiresApproval)
        return {false, kLoginItemNeedsApproval, true};
    if (!systemError.isEmpty())
        return {false, systemError, false};
    if (statusAfter != LoginItemStatus::Enabled)
        return {false, QStringLiteral("The login item was not registered."), false};
    return {true, QString(), false};
}

} // namespace kestrune
