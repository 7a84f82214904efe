#pragma once
// The Linux event tap: every keyboard's evdev node grabbed exclusively, its
// key events translated to the engine's KeyEvent and handed to the handler,
// and what the handler keeps written to one uinput virtual keyboard (see
// KeyOutput for the modifier rule). Caps Lock reaches the engine as F19 while
// the in-process mapping is in force.
//
// Threads. createTap(), the tap's run() and its destruction happen on the tap
// thread, which alone touches devices and the virtual keyboard. post(),
// stop(), setEnabled(), rescanDevices(), releaseAllForSleep() and the Caps
// Lock calls may come from any thread: they queue work and wake the tap
// thread through an eventfd (a post from the tap thread itself only queues;
// it is handled after the event being handled). None of them blocks beyond a
// short lock or allocates.
//
// Keyboards are grabbed only once no key is down on them: a key held across
// the grab would never come up for the rest of the system. A keyboard that
// vanishes is dropped alone, after its held keys have gone through the
// handler as releases, so the engine and the virtual keyboard both end with
// nothing of it held.
//
// Keyboards the user's choices leave alone are opened but never grabbed;
// one switched off while grabbed has its held keys ended through the handler
// and is let go at once.
//
// Ownership: the io and the mapping outlive the keyboard, which outlives
// every tap it created.

#include "base/Scheduler.h"
#include "platform/EventTap.h"
#include "platform/KeyboardRoster.h"
#include "platform/linux/CapsLockMapping.h"
#include "platform/linux/EvdevIo.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace kestrune {

class LinuxTap;

class LinuxKeyboard final : public KeyboardEvents, public KeyboardRoster {
public:
    // `changed` is run through `scheduler` (null: never run).
    LinuxKeyboard(EvdevIo& io, const CapsLockMapping& mapping, Scheduler* scheduler = nullptr);
    ~LinuxKeyboard() override;

    LinuxKeyboard(const LinuxKeyboard&) = delete;
    LinuxKeyboard& operator=(const LinuxKeyboard&) = delete;

    // Null when no keyboard may be read (there are keyboards, none opens) or
    // the virtual keyboard cannot be created. One tap at a time.
    std::unique_ptr<EventTap> createTap(uint64_t mask, EventHandler& handler) override;
    QString tapFailureReason() const override { return failureReason_; }
    // Dropped while no tap exists: the virtual keyboard is gone with it.
    void post(const KeyEvent& event) override;
    // Any thread. A press and release of a key the engine has no code for
    // (the Hiragana key an input method reads), written to the virtual
    // keyboard without passing the handler. Dropped while no tap runs.
    void tapRawKey(int evdevCode);

    // Any thread. The tap thread looks for keyboards it does not have yet
    // (the device monitor calls this when devices arrive).
    void rescanDevices();
    // Any thread but the tap thread. Before sleep: the handler forgets every
    // key held (resetKeyState) and every key the virtual keyboard holds is
    // released; waits up to `guard` until that is written, so it is done
    // before the sleep delay is let go. False without a tap.
    bool releaseAllForSleep(std::chrono::milliseconds guard = std::chrono::milliseconds(500));

    // Any thread. The Caps Lock LED of the virtual keyboard as the system set
    // it, or of the first keyboard until then; nullopt without a tap.
    std::optional<bool> capsLockState() const;
    // Any thread. Toggles Caps Lock (a press and release on the virtual
    // keyboard) unless it is already `on`. False without a tap.
    bool setCapsLockState(bool on);

    // KeyboardRoster. While a tap runs, the keyboards it has open; otherwise
    // those that can be opened now, none of them remapped.
    std::vector<PresentKeyboard> keyboards() const override;
    // Any thread.
    void setChoices(const KeyboardChoices& choices) override;

    // Any thread but the tap thread; for tests and tools. Returns once the
    // tap thread has handled every event its devices had waiting when this
    // was called and everything queued before, and written the result out.
    // False when no tap is running or `guard` passes first.
    bool settle(std::chrono::milliseconds guard = std::chrono::seconds(10));

private:
    friend class LinuxTap;

    struct Item {
        enum class Kind : uint8_t { key, capsLock, rawTap };
        Kind kind = Kind::key;
        bool on = false;
        KeyEvent event; // rawTap: keyCode holds the evdev code
    };
    static constexpr size_t kQueueCapacity = 1024;

    bool enqueue(const Item& item);
    void wake();
    // Tap thread.
    bool activate(LinuxTap* tap);
    void deactivate(LinuxTap* tap);
    bool pop(Item& item);
    std::shared_ptr<const KeyboardChoices> takeChoices(); // null: unchanged
    void publish(std::vector<PresentKeyboard> keyboards);
    void rosterChanged();
    uint64_t fenceRequested();
    void fenceReached(uint64_t ticket);

    EvdevIo& io_;
    const CapsLockMapping& mapping_;
    Scheduler* scheduler_;
    int wakeFd_ = -1;
    QString failureReason_; // tap thread: why the last createTap() failed
    // Work posted to the main thread holds this weakly.
    std::shared_ptr<LinuxKeyboard*> self_ = std::make_shared<LinuxKeyboard*>(this);

    mutable std::mutex mutex_;
    std::condition_variable fenceChanged_;
    LinuxTap* active_ = nullptr; // guarded by mutex_
    std::array<Item, kQueueCapacity> queue_{}; // ring, guarded by mutex_
    size_t head_ = 0;
    size_t count_ = 0;
    uint64_t fenceRequested_ = 0; // guarded by mutex_
    uint64_t fenceDone_ = 0;      // guarded by mutex_
    std::shared_ptr<const KeyboardChoices> choices_ = std::make_shared<KeyboardChoices>(); // guarded by mutex_
    bool choicesChanged_ = false;             // guarded by mutex_
    std::vector<PresentKeyboard> published_; // guarded by mutex_: the tap's keyboards

    std::atomic<bool> rescanRequested_{false};
    std::atomic<bool> releaseRequested_{false};
    std::atomic<int> capsLed_{-1}; // -1: unknown
};

} // namespace kestrune
