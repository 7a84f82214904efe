#include "system/PermissionManager.h"

#include <QPointer>

namespace kestrune {

namespace {
constexpr Millis kRecheckInterval{10'000};
}

PermissionManager::PermissionManager(AccessibilityTrust& trust, Scheduler& scheduler, QObject* parent)
    : QObject(parent), trust_(trust), scheduler_(scheduler)
{
    checkPermission();
}

PermissionManager::~PermissionManager()
{
    stopMonitoring();
}

void PermissionManager::checkPermission()
{
    const bool trusted = trust_.isTrusted();
    QPointer<PermissionManager> self(this);
    scheduler_.post([self, trusted] {
        if (self)
            self->publish(trusted);
    });
}

void PermissionManager::requestPermission()
{
    const bool trusted = trust_.requestTrust();
    QPointer<PermissionManager> self(this);
    scheduler_.post([self, trusted] {
        if (!self)
            return;
        self->publish(trusted);
        if (!trusted)
            self->openAccessibilitySettings();
    });
}

void PermissionManager::startMonitoring()
{
    checkPermission();
    stopMonitoring();
    QPointer<PermissionManager> self(this);
    timer_ = scheduler_.repeat(kRecheckInterval, [self] {
        if (self)
            self->checkPermission();
    });
}

void PermissionManager::stopMonitoring()
{
    if (timer_) {
        timer_->cancel();
        timer_.reset();
    }
}

void PermissionManager::handleAppDidBecomeActive()
{
    if (isMonitoring())
        checkPermission();
}

void PermissionManager::publish(bool trusted)
{
    // Observers hear every check, not only changes, so a view refreshes
    // each time it asks.
    isTrusted_ = trusted;
    emit isTrustedChanged();
}

void PermissionManager::openAccessibilitySettings()
{
    trust_.openTrustSettings();
}

} // namespace kestrune
