#include "platform/sim/SimServices.h"

namespace kestrune {

int SimDevices::start(std::function<void()> onArrival)
{
    if (failStart_) {
        stop();
        return -1;
    }
    started_ = true;
    onArrival_ = std::move(onArrival);
    return initialCount_;
}

void SimDevices::stop()
{
    started_ = false;
    onArrival_ = nullptr;
}

void SimDevices::arrive()
{
    if (!started_ || !onArrival_)
        return;
    // A copy, so that the handler may stop or restart watching.
    const auto handler = onArrival_;
    handler();
}

void SimWake::wake()
{
    if (!handler_)
        return;
    const auto handler = handler_;
    handler();
}

void SimWake::sleep()
{
    if (beforeSleep) {
        const auto hook = beforeSleep;
        hook();
    }
}

void SimSession::setActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    if (handler_) {
        const auto handler = handler_;
        handler(active);
    }
}

bool SimTrust::requestTrust()
{
    prompts_.fetch_add(1, std::memory_order_acq_rel);
    return isTrusted();
}

void SimTrust::openTrustSettings()
{
    settingsOpens_.fetch_add(1, std::memory_order_acq_rel);
}

SimCapsLock::SimCapsLock(SimTranscript& transcript)
    : transcript_(transcript)
{
}

std::optional<bool> SimCapsLock::lockState()
{
    if (!readable_.load(std::memory_order_acquire))
        return std::nullopt;
    return state();
}

bool SimCapsLock::setLockState(bool on)
{
    if (!writable_.load(std::memory_order_acquire))
        return false;
    setState(on);
    transcript_.add(on ? QStringLiteral("capslock on") : QStringLiteral("capslock off"));
    return true;
}

bool SimLoginItem::fail(QString* error) const
{
    if (failure_.isEmpty())
        return false;
    if (error)
        *error = failure_;
    return true;
}

bool SimLoginItem::registerItem(QString* error)
{
    ++registers_;
    if (fail(error))
        return false;
    status_ = LoginItemStatus::Enabled;
    return true;
}

bool SimLoginItem::unregisterItem(QString* error)
{
    ++unregisters_;
    if (fail(error))
        return false;
    status_ = LoginItemStatus::NotRegistered;
    return true;
}

} // namespace kestrune
