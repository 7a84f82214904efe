#pragma once
// Pipes standing in for evdev keyboards and /dev/uinput, so that tests and
// the benchmark run the tap's real path: events written into a keyboard's
// pipe are read by the tap thread, and what the tap writes to the virtual
// keyboard comes out of another pipe. The kernel's side is played here: each
// keyboard keeps the key state its events imply (for the grab), records its
// grab and the LEDs set on it, and can vanish; the virtual keyboard can be
// sent events as the system sends LED changes.
//
// Threads: the driving side (send, press, vanish, takeOutput, …) is one
// thread at a time; the tap thread uses the EvdevIo side. Observations may
// be read from any thread.

#include "platform/linux/EvdevIo.h"

#include <atomic>
#include <bitset>
#include <memory>
#include <mutex>
#include <vector>

namespace kestrune {

class PipeKeyboard {
public:
    explicit PipeKeyboard(std::string path);
    ~PipeKeyboard();
    PipeKeyboard(const PipeKeyboard&) = delete;
    PipeKeyboard& operator=(const PipeKeyboard&) = delete;

    const std::string& path() const { return path_; }

    // --- As the kernel queues events (driving side). While no one has the
    // keyboard open, events change its key state but reach no reader (an
    // evdev client sees only what comes while it is open).
    void send(std::span<const input_event> events);
    // A key as a USB keyboard reports it: MSC_SCAN, EV_KEY, SYN_REPORT.
    void press(uint16_t code) { key(code, 1); }
    void release(uint16_t code) { key(code, 0); }
    void repeat(uint16_t code) { key(code, 2); }
    void key(uint16_t code, int value);
    // The kernel's own release of every key held, as it sends them when a
    // keyboard goes away or its driver resets it: one frame of releases
    // without scan codes.
    void releaseHeld();
    // Unplugged: the kernel's releases (releaseHeld) reach an open reader
    // first, then reads fail with ENODEV and the node leaves the listing.
    // Which of the two the reader sees first is a race, as with the kernel.
    void vanish();

    // --- Set up before the tap opens it.
    void setDenied(bool denied) { denied_ = denied; }
    void setGrabRefused(bool refused) { grabRefused_ = refused; }
    void setRepeat(std::optional<RepeatSettings> repeat) { repeat_ = repeat; }
    void setInitialLeds(unsigned leds) { initialLeds_ = leds; }
    // Only read access granted: it opens, but its LEDs cannot be set.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // Its name is its path unless set (a USB keyboard, no physical path).
    void setIdentity(KeyboardIdentity identity) { identity_ = std::move(identity); }
    const KeyboardIdentity& identity() const { return identity_; }

    // --- Observations, any thread.
    bool isGrabbed() const;
    int grabCount() const;
    unsigned leds() const; // as last set by the tap
    bool vanished() const { return vanished_.load(std::memory_order_acquire); }
    bool denied() const { return denied_; }

private:
    friend class PipeDevice;

    const std::string path_;
    int readFd_ = -1;
    int writeFd_ = -1;
    std::atomic<bool> vanished_{false};
    bool denied_ = false;
    bool grabRefused_ = false;
    std::optional<RepeatSettings> repeat_;
    unsigned initialLeds_ = 0;
    bool readOnly_ = false;
    KeyboardIdentity identity_;

    mutable std::mutex mutex_;
    std::bitset<KEY_CNT> keys_; // the kernel's key state
    int opened_ = 0;            // devices open on it now
    bool grabbed_ = false;
    int grabs_ = 0;
    unsigned leds_ = 0;
};

class PipeEvdevIo final : public EvdevIo {
public:
    PipeEvdevIo();
    ~PipeEvdevIo() override;

    // Driving side. Listed from now on, after those added before.
    PipeKeyboard& addKeyboard(const std::string& path);
    // Whether /dev/uinput may be used.
    void setUinputAllowed(bool allowed);
    // While set, creating the virtual keyboard fails although /dev/uinput
    // may be used (as when the kernel refuses another device).
    void setVirtualKeyboardFails(bool fails);
    // Attempts to create a virtual keyboard, failed ones included.
    int virtualKeyboardAttempts() const;

    std::vector<std::string> keyboardPaths() override;
    std::unique_ptr<EvdevDevice> open(const std::string& path, OpenError* error) override;
    std::unique_ptr<VirtualKeyboardDevice> createVirtualKeyboard(const std::optional<RepeatSettings>& repeat) override;
    bool canCreateVirtualKeyboard() override;

    // --- The virtual keyboard's side.
    int virtualKeyboardsCreated() const;
    bool hasVirtualKeyboard() const; // one exists now
    std::optional<RepeatSettings> lastVirtualRepeat() const;
    // Driving side. Every event written so far and not yet taken, from
    // every virtual keyboard created, oldest first. Never waits.
    std::vector<input_event> takeOutput();
    // The read end of the current virtual keyboard's output (non-blocking),
    // for a reader of its own; -1 without one. It reaches end of file once
    // that keyboard is gone.
    int outputFd() const;
    // As the system sends events to the virtual keyboard (EV_LED).
    void sendToVirtual(std::span<const input_event> events);

    struct VirtualState;

private:
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<PipeKeyboard>> keyboards_;
    std::vector<std::shared_ptr<VirtualState>> virtuals_;
    bool uinputAllowed_ = true;
    bool virtualFails_ = false;
    int virtualAttempts_ = 0;
    std::vector<char> partial_; // bytes of an event not yet whole
};

} // namespace kestrune
