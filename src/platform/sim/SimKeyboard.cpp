#include "platform/sim/SimKeyboard.h"

#include <QtGlobal>

#include <utility>

namespace kestrune {

namespace {

// Generous: only a tap that is never run (a fault in the test) gets near it.
constexpr std::chrono::seconds kDrainGuard{30};

bool isControl(EventType type)
{
    return type == EventType::TapDisabledByTimeout || type == EventType::TapDisabledByUserInput;
}

uint64_t modifierBit(KeyCode code)
{
    switch (code) {
    case kc::kVK_Shift_L:
    case kc::kVK_Shift_R: return flags::kShift;
    case kc::kVK_Control_L:
    case kc::kVK_Control_R: return flags::kControl;
    case kc::kVK_Option_L:
    case kc::kVK_Option_R: return flags::kOption;
    case kc::kVK_Command_L:
    case kc::kVK_Command_R: return flags::kCommand;
    default: return 0;
    }
}

} // namespace

class SimTap final : public EventTap {
public:
    SimTap(SimKeyboard& keyboard, uint64_t mask, EventHandler& handler)
        : keyboard_(keyboard)
        , mask_(mask)
        , handler_(handler)
    {
    }

    ~SimTap() override
    {
        std::lock_guard lock(keyboard_.mutex_);
        stopLocked();
    }

    void run() override
    {
        SimKeyboard& kb = keyboard_;
        std::unique_lock lock(kb.mutex_);
        running_ = true;
        kb.stateChanged_.notify_all();
        for (;;) {
            const auto resetDue = [&] { return kb.resetRequested_ && kb.installed_ == this; };
            kb.workChanged_.wait(lock, [&] { return stopped_ || (!kb.stalled_ && (resetDue() || hasWorkLocked())); });
            if (stopped_)
                break;
            if (resetDue()) {
                kb.resetRequested_ = false;
                ++kb.handling_;
                lock.unlock();
                handler_.resetKeyState();
                lock.lock();
                --kb.handling_;
                kb.settleLocked();
                continue;
            }
            const bool fromStall = kb.keysFromStall_ > 0 && !kb.physical_.empty();
            if (fromStall)
                --kb.keysFromStall_;
            auto& queue = !fromStall && enabled_ && !kb.synthetic_.empty() ? kb.synthetic_ : kb.physical_;
            KeyEvent event = queue.front();
            queue.pop_front();
            const bool control = isControl(event.type);
            ++kb.handling_;
            lock.unlock();
            const bool keep = handler_.handleEvent(event);
            lock.lock();
            --kb.handling_;
            if (keep && !control)
                kb.recordLocked(event);
            kb.settleLocked();
        }
        running_ = false;
        kb.settleLocked();
    }

    void stop() override
    {
        std::lock_guard lock(keyboard_.mutex_);
        stopLocked();
    }

    void setEnabled(bool enabled) override
    {
        std::lock_guard lock(keyboard_.mutex_);
        enabled_ = enabled;
        keyboard_.settleLocked();
        keyboard_.workChanged_.notify_all();
    }

private:
    friend class SimKeyboard;

    void stopLocked()
    {
        stopped_ = true;
        if (keyboard_.installed_ == this)
            keyboard_.installed_ = nullptr;
        keyboard_.settleLocked();
        keyboard_.workChanged_.notify_all();
    }

    bool hasWorkLocked() const
    {
        if (keyboard_.installed_ != this)
            return false;
        if (enabled_)
            return !keyboard_.synthetic_.empty() || !keyboard_.physical_.empty();
        // settleLocked() leaves only notices of the tap being disabled queued
        // for a disabled tap.
        return !keyboard_.physical_.empty();
    }

    SimKeyboard& keyboard_;
    const uint64_t mask_;
    EventHandler& handler_;
    // Guarded by the keyboard's mutex.
    bool running_ = false;
    bool stopped_ = false;
    bool enabled_ = true;
};

SimKeyboard::SimKeyboard(SimTranscript& transcript, const SimShell& shell, const AccessibilityTrust& trust)
    : transcript_(transcript)
    , shell_(shell)
    , trust_(trust)
{
}

std::unique_ptr<EventTap> SimKeyboard::createTap(uint64_t mask, EventHandler& handler)
{
    if (!trust_.isTrusted())
        return nullptr;
    {
        std::lock_guard lock(mutex_);
        if (!tapFailure_.isEmpty())
            return nullptr;
    }
    auto tap = std::make_unique<SimTap>(*this, mask, handler);
    std::lock_guard lock(mutex_);
    installed_ = tap.get();
    ++tapsCreated_;
    stateChanged_.notify_all();
    return tap;
}

QString SimKeyboard::tapFailureReason() const
{
    std::lock_guard lock(mutex_);
    return trust_.isTrusted() ? tapFailure_ : QString();
}

void SimKeyboard::setTapFailure(const QString& reason)
{
    std::lock_guard lock(mutex_);
    tapFailure_ = reason;
}

void SimKeyboard::post(const KeyEvent& event)
{
    std::lock_guard lock(mutex_);
    if (acceptsLocked(event)) {
        synthetic_.push_back(event);
        workChanged_.notify_all();
    } else {
        recordLocked(event);
    }
}

void SimKeyboard::inject(const KeyEvent& event)
{
    std::unique_lock lock(mutex_);
    // Whatever is still in flight goes out before this event.
    waitIdleLocked(lock);
    if (!acceptsLocked(event)) {
        recordLocked(event);
        return;
    }
    physical_.push_back(event);
    if (stalled_)
        ++keysFromStall_;
    workChanged_.notify_all();
    waitIdleLocked(lock);
}

void SimKeyboard::stall()
{
    std::unique_lock lock(mutex_);
    waitIdleLocked(lock);
    stalled_ = true;
}

void SimKeyboard::resume()
{
    std::unique_lock lock(mutex_);
    stalled_ = false;
    workChanged_.notify_all();
    waitIdleLocked(lock);
}

void SimKeyboard::physicalDown(KeyCode code)
{
    if (modifierBit(code)) {
        heldModifiers_.insert(code);
        inject({EventType::FlagsChanged, code, physicalFlags(), 0});
    } else if (code == kc::kVK_CapsLock) {
        const bool repeat = capsDownAsF19_.has_value();
        capsDownAsF19_ = shell_.isCapsLockMappedToF19();
        if (*capsDownAsF19_)
            inject({EventType::KeyDown, kc::kVK_F19, physicalFlags(), 0, repeat});
        else
            inject({EventType::FlagsChanged, code, physicalFlags(), 0});
    } else {
        const bool repeat = !heldKeys_.insert(code).second;
        inject({EventType::KeyDown, code, physicalFlags(), 0, repeat});
    }
}

void SimKeyboard::physicalUp(KeyCode code)
{
    if (modifierBit(code)) {
        heldModifiers_.erase(code);
        inject({EventType::FlagsChanged, code, physicalFlags(), 0});
    } else if (code == kc::kVK_CapsLock) {
        const bool asF19 = capsDownAsF19_.value_or(shell_.isCapsLockMappedToF19());
        capsDownAsF19_.reset();
        if (asF19)
            inject({EventType::KeyUp, kc::kVK_F19, physicalFlags(), 0});
        else
            inject({EventType::FlagsChanged, code, physicalFlags(), 0});
    } else {
        heldKeys_.erase(code);
        inject({EventType::KeyUp, code, physicalFlags(), 0});
    }
}

void SimKeyboard::physicalPress(KeyCode code)
{
    physicalDown(code);
    physicalUp(code);
}

void SimKeyboard::physicalRepeat(KeyCode code)
{
    if (code == kc::kVK_CapsLock) {
        if (capsDownAsF19_.value_or(false))
            inject({EventType::KeyDown, kc::kVK_F19, physicalFlags(), 0, true});
    } else if (!modifierBit(code) && heldKeys_.count(code)) {
        inject({EventType::KeyDown, code, physicalFlags(), 0, true});
    }
}

void SimKeyboard::unplug()
{
    auto gone = [](KeyEvent e) {
        e.deviceGone = true;
        return e;
    };
    const std::set<KeyCode> keys = std::exchange(heldKeys_, {});
    for (const KeyCode code : keys)
        inject(gone({EventType::KeyUp, code, physicalFlags(), 0}));
    if (const auto asF19 = std::exchange(capsDownAsF19_, std::nullopt)) {
        if (*asF19)
            inject(gone({EventType::KeyUp, kc::kVK_F19, physicalFlags(), 0}));
        else
            inject(gone({EventType::FlagsChanged, kc::kVK_CapsLock, physicalFlags(), 0}));
    }
    const std::set<KeyCode> modifiers = heldModifiers_;
    for (const KeyCode code : modifiers) {
        heldModifiers_.erase(code);
        inject(gone({EventType::FlagsChanged, code, physicalFlags(), 0}));
    }
}

void SimKeyboard::resetTapState()
{
    std::unique_lock lock(mutex_);
    waitIdleLocked(lock);
    if (!installed_)
        return;
    resetRequested_ = true;
    workChanged_.notify_all();
    waitIdleLocked(lock);
}

void SimKeyboard::injectTapDisabled(EventType type)
{
    Q_ASSERT(isControl(type));
    if (!isControl(type))
        return;
    std::unique_lock lock(mutex_);
    waitIdleLocked(lock);
    if (!installed_)
        return;
    if (type == EventType::TapDisabledByTimeout) {
        installed_->enabled_ = false;
        settleLocked();
    }
    physical_.push_back({type, 0, 0, 0});
    workChanged_.notify_all();
    waitIdleLocked(lock);
}

void SimKeyboard::waitIdle()
{
    std::unique_lock lock(mutex_);
    waitIdleLocked(lock);
}

bool SimKeyboard::waitForRunningTap(std::chrono::milliseconds realTimeout)
{
    std::unique_lock lock(mutex_);
    return stateChanged_.wait_for(lock, realTimeout, [&] { return installed_ && installed_->running_; });
}

bool SimKeyboard::hasInstalledTap() const
{
    std::lock_guard lock(mutex_);
    return installed_ != nullptr;
}

bool SimKeyboard::isTapEnabled() const
{
    std::lock_guard lock(mutex_);
    return installed_ && installed_->enabled_;
}

int SimKeyboard::tapsCreated() const
{
    std::lock_guard lock(mutex_);
    return tapsCreated_;
}

std::vector<KeyCode> SimKeyboard::keysDownInOutput() const
{
    std::lock_guard lock(mutex_);
    return {outputDown_.begin(), outputDown_.end()};
}

uint64_t SimKeyboard::physicalFlags() const
{
    uint64_t result = 0;
    for (const KeyCode code : heldModifiers_)
        result |= modifierBit(code);
    return result;
}

bool SimKeyboard::acceptsLocked(const KeyEvent& event) const
{
    if (!installed_ || !installed_->enabled_)
        return false;
    const auto type = static_cast<uint32_t>(event.type);
    return type < 64 && (installed_->mask_ & (uint64_t{1} << type));
}

bool SimKeyboard::idleLocked() const
{
    return handling_ == 0 && !resetRequested_ && physical_.empty() && synthetic_.empty();
}

void SimKeyboard::waitIdleLocked(std::unique_lock<std::mutex>& lock)
{
    if (!stateChanged_.wait_for(lock, kDrainGuard, [&] { return stalled_ || idleLocked(); }))
        qFatal("SimKeyboard: the tap thread handled nothing for %lld s; is the tap running?",
               static_cast<long long>(kDrainGuard.count()));
}

void SimKeyboard::recordLocked(const KeyEvent& event)
{
    if (event.type == EventType::KeyDown)
        outputDown_.insert(event.keyCode);
    else if (event.type == EventType::KeyUp)
        outputDown_.erase(event.keyCode);
    transcript_.add(SimTranscript::formatEvent(event));
}

// Once nothing is being handled, events queued for a tap that is gone or
// disabled reach the application as they are (synthetic ones first: they
// follow the event during which they were posted). Wakes the drivers.
void SimKeyboard::settleLocked()
{
    if (!installed_)
        resetRequested_ = false; // no handler is left to reset
    if (handling_ == 0 && !(installed_ && installed_->enabled_)) {
        for (const KeyEvent& event : synthetic_)
            recordLocked(event);
        synthetic_.clear();
        std::deque<KeyEvent> notices;
        for (const KeyEvent& event : physical_) {
            if (!isControl(event.type))
                recordLocked(event);
            else if (installed_)
                notices.push_back(event);
        }
        physical_ = std::move(notices);
    }
    stateChanged_.notify_all();
}

} // namespace kestrune
