#include "platform/linux/LinuxKeyboard.h"

#include "platform/linux/LinuxTap.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kestrune {

LinuxKeyboard::LinuxKeyboard(EvdevIo& io, const CapsLockMapping& mapping, Scheduler* scheduler)
    : io_(io)
    , mapping_(mapping)
    , scheduler_(scheduler)
    , wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

LinuxKeyboard::~LinuxKeyboard()
{
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

std::unique_ptr<EventTap> LinuxKeyboard::createTap(uint64_t mask, EventHandler& handler)
{
    failureReason_.clear();
    if (wakeFd_ < 0) {
        failureReason_ = QCoreApplication::translate("LinuxTap", "The tap's wake-up descriptor could not be made.");
        return nullptr;
    }
    auto tap = std::make_unique<LinuxTap>(*this, mask, handler);
    if (!tap->open()) {
        failureReason_ = tap->failureReason();
        return nullptr;
    }
    return tap;
}

void LinuxKeyboard::post(const KeyEvent& event)
{
    enqueue(Item{Item::Kind::key, false, event});
}

void LinuxKeyboard::tapRawKey(int evdevCode)
{
    KeyEvent event;
    event.keyCode = static_cast<KeyCode>(evdevCode);
    enqueue(Item{Item::Kind::rawTap, false, event});
}

void LinuxKeyboard::rescanDevices()
{
    rescanRequested_.store(true, std::memory_order_release);
    wake();
    bool tapRuns = false;
    {
        std::lock_guard lock(mutex_);
        tapRuns = active_ != nullptr;
    }
    if (!tapRuns)
        rosterChanged(); // listed from the nodes: a new one may be there
}

bool LinuxKeyboard::releaseAllForSleep(std::chrono::milliseconds guard)
{
    releaseRequested_.store(true, std::memory_order_release);
    return settle(guard); // the tap thread releases before it passes the fence
}

std::optional<bool> LinuxKeyboard::capsLockState() const
{
    {
        std::lock_guard lock(mutex_);
        if (!active_)
            return std::nullopt;
    }
    const int led = capsLed_.load(std::memory_order_acquire);
    if (led < 0)
        return std::nullopt;
    return led == 1;
}

bool LinuxKeyboard::setCapsLockState(bool on)
{
    return enqueue(Item{Item::Kind::capsLock, on, {}});
}

bool LinuxKeyboard::settle(std::chrono::milliseconds guard)
{
    std::unique_lock lock(mutex_);
    if (!active_)
        return false;
    const uint64_t ticket = ++fenceRequested_;
    lock.unlock();
    wake();
    lock.lock();
    return fenceChanged_.wait_for(lock, guard, [&] { return fenceDone_ >= ticket; });
}

std::vector<PresentKeyboard> LinuxKeyboard::keyboards() const
{
    {
        std::lock_guard lock(mutex_);
        if (active_)
            return published_;
    }
    std::vector<KeyboardIdentity> identities;
    for (const std::string& path : io_.keyboardPaths()) {
        EvdevIo::OpenError error = EvdevIo::OpenError::none;
        if (std::unique_ptr<EvdevDevice> device = io_.open(path, &error))
            identities.push_back(device->identity());
    }
    return rosterOf(identities);
}

void LinuxKeyboard::setChoices(const KeyboardChoices& choices)
{
    auto copy = std::make_shared<const KeyboardChoices>(choices);
    {
        std::lock_guard lock(mutex_);
        choices_ = std::move(copy);
        choicesChanged_ = true;
    }
    wake();
}

std::shared_ptr<const KeyboardChoices> LinuxKeyboard::takeChoices()
{
    std::lock_guard lock(mutex_);
    return std::exchange(choicesChanged_, false) ? choices_ : nullptr;
}

void LinuxKeyboard::publish(std::vector<PresentKeyboard> keyboards)
{
    {
        std::lock_guard lock(mutex_);
        if (keyboards == published_)
            return;
        published_ = std::move(keyboards);
    }
    rosterChanged();
}

void LinuxKeyboard::rosterChanged()
{
    if (!scheduler_)
        return;
    scheduler_->post([self = std::weak_ptr<LinuxKeyboard*>(self_)] {
        if (auto alive = self.lock(); alive && (*alive)->changed)
            (*alive)->changed();
    });
}

bool LinuxKeyboard::enqueue(const Item& item)
{
    {
        std::lock_guard lock(mutex_);
        if (!active_ || count_ == kQueueCapacity)
            return false;
        queue_[(head_ + count_) % kQueueCapacity] = item;
        ++count_;
    }
    if (tapThreadKeyboard() != this)
        wake();
    return true;
}

void LinuxKeyboard::wake()
{
    const uint64_t one = 1;
    // EAGAIN only when the counter is saturated, and then a wake is pending anyway.
    while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool LinuxKeyboard::activate(LinuxTap* tap)
{
    std::lock_guard lock(mutex_);
    if (active_)
        return false;
    active_ = tap;
    choicesChanged_ = true; // the new tap takes the choices as they are
    head_ = 0;
    count_ = 0;
    rescanRequested_.store(false, std::memory_order_relaxed); // the new tap scans anyway
    releaseRequested_.store(false, std::memory_order_relaxed);
    capsLed_.store(-1, std::memory_order_relaxed);
    return true;
}

void LinuxKeyboard::deactivate(LinuxTap* tap)
{
    {
        std::lock_guard lock(mutex_);
        if (active_ != tap)
            return;
        active_ = nullptr;
        count_ = 0;
        fenceDone_ = fenceRequested_;
        published_.clear();
    }
    fenceChanged_.notify_all();
    rosterChanged(); // listed from the nodes again
}

bool LinuxKeyboard::pop(Item& item)
{
    std::lock_guard lock(mutex_);
    if (count_ == 0)
        return false;
    item = queue_[head_];
    head_ = (head_ + 1) % kQueueCapacity;
    --count_;
    return true;
}

uint64_t LinuxKeyboard::fenceRequested()
{
    std::lock_guard lock(mutex_);
    return fenceRequested_ > fenceDone_ ? fenceRequested_ : 0;
}

void LinuxKeyboard::fenceReached(uint64_t ticket)
{
    {
        std::lock_guard lock(mutex_);
        fenceDone_ = std::max(fenceDone_, ticket);
    }
    fenceChanged_.notify_all();
}

} // namespace kestrune
