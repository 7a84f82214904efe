#pragma once
// What a login-item registration came to. The system may accept the
// registration and still not run the item until the user approves it in
// System Settings; that is a failure the user has to act on, not a success.

#include "platform/System.h"

#include <QString>

namespace kestrune {

struct LoginItemRegistration {
    bool ok = false;
    QString error;              // empty when ok
    bool needsApproval = false; // the login items settings should be shown
};

// `systemError`: the system's error text, empty when it accepted the
// request; `statusAfter`: the status read right after it.
LoginItemRegistration registrationResult(const QString& systemError, LoginItemStatus statusAfter);

inline const QString kLoginItemNeedsApproval = QStringLiteral(
    "Kestrune needs your approval to open at login: turn it on in System Settings > General > Login Items.");

} // namespace kestrune
