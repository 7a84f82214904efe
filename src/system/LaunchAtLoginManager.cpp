#include "system/LaunchAtLoginManager.h"

namespace kestrune {

LaunchAtLoginManager::LaunchAtLoginManager(LoginItem& loginItem, Console& console, QObject* parent)
    : QObject(parent), loginItem_(loginItem), console_(console)
{
    // Taken from the system without going through the setter, then brought
    // in line once: nothing to do unless the two disagree.
    isEnabled_ = loginItem_.status() == LoginItemStatus::Enabled;
    updateLoginItem();
}

void LaunchAtLoginManager::setIsEnabled(bool enabled)
{
    const bool changed = enabled != isEnabled_;
    isEnabled_ = enabled;
    if (changed)
        emit isEnabledChanged();
    updateLoginItem();
}

void LaunchAtLoginManager::updateLoginItem()
{
    const LoginItemStatus status = loginItem_.status();
    QString error;
    bool ok = true;
    if (isEnabled_ && status != LoginItemStatus::Enabled)
        ok = loginItem_.registerItem(&error);
    else if (!isEnabled_ && status == LoginItemStatus::Enabled)
        ok = loginItem_.unregisterItem(&error);
    if (!ok)
        console_.printLine(QStringLiteral("Failed to update login item: ") + error);
}

} // namespace kestrune
