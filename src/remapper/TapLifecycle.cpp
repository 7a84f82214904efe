// start/stop, the tap thread, recovery from a disabled tap, and the watch on
// the permission to observe the keyboard.

#include "base/ConsoleWords.h"
#include "base/ThreadIdentity.h"
#include "platform/HidKeyMapping.h"
#include "remapper/KeyRemapper.h"
#include "system/PermissionManager.h"

namespace kestrune {

namespace {
constexpr Millis kTrustPollInterval{1000};
constexpr Millis kRevocationWatchInterval{500};
// A tap that cannot be created although access is granted (no virtual
// keyboard, no keyboard readable) is tried again after 1 s, then ever more
// rarely: each try opens every keyboard.
constexpr Millis kFirstTapRetry{1000};
constexpr Millis kLongestTapRetry{30000};
const char* const kTapThreadName = "com.kestrune.eventtap.thread";

bool isSystemSettings(const std::optional<QString>& bundleId)
{
    return bundleId
        && (*bundleId == QLatin1String("com.apple.systempreferences") || *bundleId == QLatin1String("com.apple.Preferences"));
}
} // namespace

void KeyRemapper::TapThread::setState(State s)
{
    {
        std::lock_guard lock(mutex);
        state = s;
    }
    changed.notify_all();
}

bool KeyRemapper::TapThread::isFinished()
{
    std::lock_guard lock(mutex);
    return state == State::finished;
}

bool KeyRemapper::hasEventTap() const
{
    std::lock_guard lock(tapMutex_);
    return eventTap_ != nullptr;
}

bool KeyRemapper::isSessionActive() const
{
    return !platform_.session || platform_.session->isActive();
}

void KeyRemapper::handleSessionActiveChanged(bool active)
{
    if (!active) {
        // What is typed in another session is not ours to read: release
        // everything, let go of the keyboards and close them, and the
        // virtual keyboard with them (the tap does all of that as it ends).
        cancelTapRetry();
        stopPermissionMonitor();
        runShellCommand(kResetMappingCommand);
        tearDownTap();
        emit tapStateChanged();
        return;
    }
    if (isEnabled_)
        start(); // reopens everything as at launch
    else
        emit tapStateChanged();
}

void KeyRemapper::start()
{
    if (!isSessionActive())
        return; // started again when the session is active
    if (hasEventTap())
        return;
    if (tapThread_ && !tapThread_->isFinished())
        return; // an earlier tap thread is still starting or winding down
    retireTapThread();
    reapFinishedThreads();

    // The mapping itself is applied once the tap is installed (below, in
    // runEventTap): F19 must never reach applications for want of a tap.
    runShellCommand(kResetMappingCommand);
    if (with_.hud)
        with_.hud->setPendingHyperConfig(hyperKeyConfig_);

    auto thread = std::make_shared<TapThread>();
    QPointer<KeyRemapper> self = weakSelf_;
    tapThread_ = thread;
    // The thread holds its TapThread; the remapper joins it before it dies,
    // so the raw pointer stays valid for the thread's whole life.
    thread->thread = std::thread([this, thread] {
        setCurrentThreadName(kTapThreadName);
        raiseCurrentThreadPriority();
        runEventTap(thread, kKeyboardEventMask);
    });

    if (axCheckTimer_) {
        axCheckTimer_->cancel();
        axCheckTimer_.reset();
    }
    if (tapRetryTimer_) {
        tapRetryTimer_->cancel();
        tapRetryTimer_.reset(); // the delay is kept: it grows if this try fails too
    }
    watchSystemSettingsActivation();
    stopHIDDeviceMonitoring();
    platform_.wake.setWakeHandler([self] {
        if (self)
            self->handleWake();
    });
    startHIDDeviceMonitoring();
    emit tapStateChanged();
}

void KeyRemapper::stop()
{
    cancelTapRetry();
    unwatchSystemSettingsActivation();
    stopHIDDeviceMonitoring();
    runShellCommand(kResetMappingCommand);
    tearDownTap();
    // Paused: an earlier failure no longer says anything about now.
    tapFailed_ = false;
    tapFailureReason_.clear();
    emit tapStateChanged();
}

void KeyRemapper::reconnectTap()
{
    cancelTapRetry();
    tearDownTap();
    tapRetryDelay_ = Millis{0};
    if (isEnabled_)
        start();
    emit tapStateChanged();
}

void KeyRemapper::tearDownTap()
{
    {
        // One critical section, in the order runEventTap takes the locks: a
        // tap thread either has installed its tap (stopped here) or sees the
        // stop request and never installs one.
        std::lock_guard lock(tapMutex_);
        if (eventTap_) {
            eventTap_->setEnabled(false);
            eventTap_->stop();
            eventTap_ = nullptr;
        }
        if (tapThread_) {
            std::lock_guard threadLock(tapThread_->mutex);
            tapThread_->stopRequested = true;
        }
    }
    if (tapThread_) {
        tapThread_->changed.notify_all();
        { std::lock_guard lock(ownershipMutex_); } // no waiter misses the request
        ownershipFree_.notify_all();
        retireTapThread();
    }
}

void KeyRemapper::retireTapThread()
{
    if (tapThread_)
        retiredThreads_.push_back(std::move(tapThread_));
    tapThread_.reset();
}

void KeyRemapper::reapFinishedThreads()
{
    std::erase_if(retiredThreads_, [](const std::shared_ptr<TapThread>& t) {
        if (!t->isFinished())
            return false;
        if (t->thread.joinable())
            t->thread.join(); // it has returned from its body; this is immediate
        return true;
    });
}

void KeyRemapper::waitForTapThreadSettled()
{
    auto settle = [](TapThread& t) {
        std::unique_lock lock(t.mutex);
        t.changed.wait(lock, [&] {
            return t.state == TapThread::State::finished || (t.state == TapThread::State::running && !t.stopRequested);
        });
    };
    if (tapThread_)
        settle(*tapThread_);
    for (auto& t : retiredThreads_)
        settle(*t);
}

void KeyRemapper::runEventTap(const std::shared_ptr<TapThread>& thread, uint64_t mask)
{
    QPointer<KeyRemapper> self = weakSelf_;
    auto announceEnd = [&] {
        platform_.scheduler.post([self, thread] {
            if (!self)
                return;
            if (self->tapThread_ == thread)
                self->retireTapThread();
            self->reapFinishedThreads();
            emit self->tapStateChanged();
        });
        thread->setState(TapThread::State::finished);
    };
    {
        std::unique_lock lock(ownershipMutex_);
        ownershipFree_.wait(lock, [&] { return !tapOwned_ || thread->stopRequested; });
        if (tapOwned_) {
            lock.unlock();
            announceEnd(); // stopped before its turn came
            return;
        }
        tapOwned_ = true;
    }
    struct ReleaseOwnership {
        KeyRemapper& r;
        ~ReleaseOwnership()
        {
            {
                std::lock_guard lock(r.ownershipMutex_);
                r.tapOwned_ = false;
            }
            r.ownershipFree_.notify_all();
        }
    } releaseOwnership{*this};

    std::unique_ptr<EventTap> tap = platform_.keyboard.createTap(mask, *this);
    if (!tap) {
        const QString reason = platform_.keyboard.tapFailureReason();
        platform_.scheduler.post([self, thread, reason] {
            if (!self)
                return;
            if (self->tapThread_ == thread)
                self->retireTapThread();
            self->reapFinishedThreads();
            self->handleTapCreationFailure(reason);
        });
        thread->setState(TapThread::State::finished);
        return;
    }

    bool installed = false;
    {
        std::lock_guard tapLock(tapMutex_);
        std::lock_guard threadLock(thread->mutex);
        // stop() may have come while the tap was being created; then it
        // never becomes visible and the thread ends at once.
        if (!thread->stopRequested) {
            eventTap_ = tap.get();
            installed = true;
        }
    }
    if (installed) {
        runningTap_ = tap.get();
        tap->setEnabled(true);
        platform_.scheduler.post([self] {
            if (!self)
                return;
            // A later failure is news again, and is tried again from 1 s.
            self->reportedTapFailure_.reset();
            self->tapRetryDelay_ = Millis{0};
            self->tapFailed_ = false;
            self->tapFailureReason_.clear();
            self->applyCapsLockMapping();
            emit self->tapStateChanged();
        });
        thread->setState(TapThread::State::running);
        tap->run(); // returns once stop() reaches the tap
        runningTap_ = nullptr;
    }
    {
        std::lock_guard tapLock(tapMutex_);
        if (eventTap_ == tap.get())
            eventTap_ = nullptr;
    }
    releaseHeldKeysAndResetState();
    tap.reset();
    announceEnd();
}

void KeyRemapper::handleTapCreationFailure(const QString& reason)
{
    // Without the permission that is the whole story; with it, the tap
    // says what else stood in the way. Each line is printed once, not on
    // every try.
    const bool trusted = platform_.trust.isTrusted();
    const QString line = trusted && !reason.isEmpty() ? consoleWords::keyboardUnreadable() + QLatin1Char(' ') + reason
                                                      : consoleWords::keyboardUnreadable();
    if (reportedTapFailure_ != line) {
        reportedTapFailure_ = line;
        platform_.console.printLine(line);
    }
    tapFailed_ = true;
    tapFailureReason_ = trusted ? reason : QString();
    if (!trusted) {
        // Waiting for the permission: the 1 s poll starts as soon as it comes.
        // The interface is told now, so that its "Fix" shows with the reason.
        if (with_.permissions)
            with_.permissions->checkPermission();
        tapRetryDelay_ = Millis{0};
        if (!axCheckTimer_)
            startAccessibilityPolling();
        emit tapStateChanged();
        return;
    }
    emit tapStateChanged();
    if (axCheckTimer_ || tapRetryTimer_ || !isEnabled_ || !isSessionActive())
        return;
    tapRetryDelay_ = tapRetryDelay_.count() == 0 ? kFirstTapRetry : std::min(tapRetryDelay_ * 2, kLongestTapRetry);
    QPointer<KeyRemapper> self = weakSelf_;
    tapRetryTimer_ = platform_.scheduler.postAfter(tapRetryDelay_, [self] {
        if (!self)
            return;
        self->tapRetryTimer_.reset();
        if (!self->platform_.trust.isTrusted()) {
            self->tapRetryDelay_ = Millis{0};
            self->startAccessibilityPolling();
            return;
        }
        self->start();
    });
}

void KeyRemapper::cancelTapRetry()
{
    if (tapRetryTimer_) {
        tapRetryTimer_->cancel();
        tapRetryTimer_.reset();
    }
    tapRetryDelay_ = Millis{0};
}

void KeyRemapper::retryTapNow()
{
    // Something changed that may let the tap be created (a keyboard came,
    // the machine woke): try at once and from 1 s again.
    if (!tapRetryTimer_)
        return;
    cancelTapRetry();
    start();
}

void KeyRemapper::startAccessibilityPolling()
{
    if (axCheckTimer_)
        return;
    QPointer<KeyRemapper> self = weakSelf_;
    axCheckTimer_ = platform_.scheduler.repeat(kTrustPollInterval, [self] {
        if (!self || !self->platform_.trust.isTrusted())
            return;
        self->axCheckTimer_->cancel();
        self->axCheckTimer_.reset();
        self->tapRetryDelay_ = Millis{0}; // the permission changed: a fresh start
        if (self->with_.permissions)
            self->with_.permissions->checkPermission();
        self->start();
    });
    emit tapStateChanged();
}

void KeyRemapper::handleTapDisabledByUserInput()
{
    runShellCommand(kResetMappingCommand);
    // The key state is reset by the tap thread as its tap ends.
    stop();
    startAccessibilityPolling();
}

void KeyRemapper::watchSystemSettingsActivation()
{
    unwatchSystemSettingsActivation();
    QPointer<KeyRemapper> self = weakSelf_;
    workspaceObserverTokens_.push_back(platform_.workspace.addActivationObserver([self](const auto& id) {
        if (self)
            self->handleAppActivation(id);
    }));
    workspaceObserverTokens_.push_back(platform_.workspace.addDeactivationObserver([self](const auto& id) {
        if (self)
            self->handleAppDeactivation(id);
    }));
}

void KeyRemapper::unwatchSystemSettingsActivation()
{
    stopPermissionMonitor();
    for (int token : workspaceObserverTokens_)
        platform_.workspace.removeObserver(token);
    workspaceObserverTokens_.clear();
}

void KeyRemapper::handleAppActivation(const std::optional<QString>& bundleId)
{
    if (isSystemSettings(bundleId))
        startPermissionMonitor();
}

void KeyRemapper::handleAppDeactivation(const std::optional<QString>& bundleId)
{
    if (isSystemSettings(bundleId))
        stopPermissionMonitor();
}

void KeyRemapper::startPermissionMonitor()
{
    stopPermissionMonitor();
    QPointer<KeyRemapper> self = weakSelf_;
    permissionMonitorTimer_ = platform_.scheduler.repeat(kRevocationWatchInterval, [self] {
        if (!self)
            return;
        if (!self->hasEventTap()) {
            self->stopPermissionMonitor(); // nothing to protect
            return;
        }
        if (!self->platform_.trust.isTrusted())
            self->handlePermissionRevoked();
    });
}

void KeyRemapper::stopPermissionMonitor()
{
    if (permissionMonitorTimer_) {
        permissionMonitorTimer_->cancel();
        permissionMonitorTimer_.reset();
    }
}

void KeyRemapper::handlePermissionRevoked()
{
    stopPermissionMonitor();
    // Caps Lock works normally at once, without the tap.
    runShellCommand(kResetMappingCommand);
    tearDownTap();
    if (with_.permissions)
        with_.permissions->checkPermission();
    startAccessibilityPolling();
    emit tapStateChanged();
}

} // namespace kestrune
