#pragma once
// The simulator's small operating-system services: switches and counters a
// test or a scenario sets and reads.

#include "platform/System.h"
#include "platform/sim/SimTranscript.h"

#include <atomic>
#include <functional>

namespace kestrune {

// Main thread. Starts with one device present: the machine's own keyboard.
class SimDevices final : public DeviceMonitor {
public:
    int start(std::function<void()> onArrival) override;
    void stop() override;

    void setInitialDeviceCount(int count) { initialCount_ = count; }
    // While set, start() fails (returns -1) and watching stays off.
    void setFailStart(bool fail) { failStart_ = fail; }
    // A batch of devices arrives: runs the arrival handler when watching.
    void arrive();
    bool isStarted() const { return started_; }

private:
    int initialCount_ = 1;
    bool failStart_ = false;
    bool started_ = false;
    std::function<void()> onArrival_;
};

// Main thread.
class SimWake final : public WakeNotifier {
public:
    void setWakeHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

    // The machine wakes: runs the handler if one is set.
    void wake();
    bool hasHandler() const { return static_cast<bool>(handler_); }

    // Runs when the machine is about to sleep, as the composition root's
    // hook on the real backend does.
    std::function<void()> beforeSleep;
    // The machine is about to sleep: runs beforeSleep if set.
    void sleep();

private:
    std::function<void()> handler_;
};

// Main thread. Starts active.
class SimSession final : public SessionMonitor {
public:
    bool isActive() const override { return active_; }
    void setActiveHandler(std::function<void(bool active)> handler) override { handler_ = std::move(handler); }

    // Another session becomes active (false), or ours again (true): runs
    // the handler when this changes anything.
    void setActive(bool active);

private:
    bool active_ = true;
    std::function<void(bool)> handler_;
};

// The trust switch, readable from any thread. Starts trusted.
class SimTrust final : public AccessibilityTrust {
public:
    bool isTrusted() const override { return trusted_.load(std::memory_order_acquire); }
    bool requestTrust() override;
    void openTrustSettings() override;

    // Any thread.
    void setTrusted(bool trusted) { trusted_.store(trusted, std::memory_order_release); }
    int promptCount() const { return prompts_.load(std::memory_order_acquire); }
    int settingsOpenCount() const { return settingsOpens_.load(std::memory_order_acquire); }

private:
    std::atomic<bool> trusted_{true};
    std::atomic<int> prompts_{0};
    std::atomic<int> settingsOpens_{0};
};

// The Caps Lock lock state. Any thread. Starts off, readable and writable.
// Successful sets are recorded as "capslock on" / "capslock off". The
// transcript must outlive it.
class SimCapsLock final : public CapsLockState {
public:
    explicit SimCapsLock(SimTranscript& transcript);

    std::optional<bool> lockState() override;
    bool setLockState(bool on) override;

    // The state as the hardware has it, changed without a transcript line
    // (as when the user toggles it).
    bool state() const { return on_.load(std::memory_order_acquire); }
    void setState(bool on) { on_.store(on, std::memory_order_release); }
    // While unreadable, lockState() gives nullopt; while unwritable,
    // setLockState() fails and changes nothing.
    void setReadable(bool readable) { readable_.store(readable, std::memory_order_release); }
    void setWritable(bool writable) { writable_.store(writable, std::memory_order_release); }

private:
    SimTranscript& transcript_;
    std::atomic<bool> on_{false};
    std::atomic<bool> readable_{true};
    std::atomic<bool> writable_{true};
};

// Main thread. Starts NotRegistered.
class SimLoginItem final : public LoginItem {
public:
    LoginItemStatus status() const override { return status_; }
    // Counted whether or not they succeed. Success sets the status to Enabled
    // (register) or NotRegistered (unregister).
    bool registerItem(QString* error) override;
    bool unregisterItem(QString* error) override;

    void setStatus(LoginItemStatus status) { status_ = status; }
    // A non-empty text makes register and unregister fail with it.
    void setFailure(const QString& errorText) { failure_ = errorText; }
    int registerCount() const { return registers_; }
    int unregisterCount() const { return unregisters_; }

private:
    bool fail(QString* error) const;

    LoginItemStatus status_ = LoginItemStatus::NotRegistered;
    QString failure_;
    int registers_ = 0;
    int unregisters_ = 0;
};

// Main thread.
class SimUpdates final : public UpdateFramework {
public:
    void startUpdater() override { ++starts_; }
    void checkForUpdates() override { ++checks_; }

    int startCount() const { return starts_; }
    int checkCount() const { return checks_; }

private:
    int starts_ = 0;
    int checks_ = 0;
};

} // namespace kestrune
