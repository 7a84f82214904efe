#pragma once
// The tap of LinuxKeyboard: the keyboards it has opened and grabbed, the
// virtual keyboard, and the epoll loop that reads them, hands their events to
// the handler and writes the result. Private to LinuxKeyboard.cpp and
// LinuxTap.cpp.
//
// Threads: created, run and destroyed on the tap thread, which alone touches
// its devices; stop() and setEnabled() from any thread.

#include "platform/linux/KeyOutput.h"
#include "platform/linux/LinuxKeyboard.h"

#include <bitset>
#include <string>
#include <vector>

namespace kestrune {

// The keyboard whose tap runs on the calling thread, if any: a post from
// there is handled after the current event and needs no wake.
const LinuxKeyboard* tapThreadKeyboard();

class LinuxTap final : public EventTap {
public:
    LinuxTap(LinuxKeyboard& keyboard, uint64_t mask, EventHandler& handler)
        : kb_(keyboard)
        , mask_(mask)
        , handler_(handler)
    {
    }
    ~LinuxTap() override;

    // Tap thread. Opens the keyboards and the virtual keyboard.
    bool open();
    // After open() failed: why, in the user's words.
    const QString& failureReason() const { return failureReason_; }

    // Tap thread: the epoll loop, until stop(). On the way out it releases
    // everything the virtual keyboard holds and lets go of the keyboards.
    void run() override;
    // Any thread.
    void stop() override
    {
        stopRequested_.store(true, std::memory_order_release);
        kb_.wake();
    }
    void setEnabled(bool enabled) override { enabled_.store(enabled, std::memory_order_release); }

private:
    struct Device {
        std::string path;
        std::unique_ptr<EvdevDevice> io;
        KeyboardIdentity identity;
        bool remap = true; // the user's choice: grabbed when free to be
        bool grabbed = false;
        bool gone = false;      // removed from epoll; freed at the end of the loop turn
        std::bitset<KEY_CNT> held;
        // A scan code (MSC_SCAN) came just now, before the next key event;
        // which held keys were pressed with one; the releases in the
        // current frame that came without one, the kernel's own
        // (handleDeviceEvent).
        bool scanned = false;
        std::bitset<KEY_CNT> pressScanned;
        std::bitset<KEY_CNT> madeUp;
    };
    enum class Opened { yes, denied, skipped };

    Opened openDevice(const std::string& path);
    void tryGrab(Device& d);
    void vanish(Device& d);
    void releaseEnded(Device& d, const std::bitset<KEY_CNT>& keys);
    void endMadeUp(Device& d); // the kernel's releases read so far
    void reap();
    void rescan();
    // Each keyboard's choice looked up again (after the choices or the
    // keyboards changed): one switched off is let go, one switched on is
    // grabbed when free; the main thread then sees the new roster.
    void review();
    void leaveAlone(Device& d);

    void serviceDevice(Device& d);
    void handleDeviceEvent(Device& d, const input_event& e);
    void serviceVirtual();
    void serviceControl();
    void drainDevices();

    // `gone`: a release made up for a keyboard that vanished.
    void onKey(Device& d, unsigned code, int value, bool gone = false);
    void onRepeat(Device& d, unsigned code);
    void deliver(KeyEvent event, int direction);
    void write(const KeyEvent& event, int direction);
    void drainQueue();
    void applyCapsLock(bool on);
    void shutdown();

    bool wants(EventType type) const
    {
        const auto t = static_cast<uint32_t>(type);
        return t < 64 && (mask_ & (uint64_t{1} << t));
    }
    bool enabled() const { return enabled_.load(std::memory_order_acquire); }

    LinuxKeyboard& kb_;
    const uint64_t mask_;
    EventHandler& handler_;
    int epoll_ = -1;
    bool activated_ = false;
    bool shutDown_ = false;
    bool rosterChanged_ = false; // a keyboard came or went this loop turn
    std::shared_ptr<const KeyboardChoices> choices_;
    std::vector<std::unique_ptr<Device>> devices_;
    std::unique_ptr<VirtualKeyboardDevice> virtual_;
    KeyOutput out_;
    static constexpr size_t kReadBatch = 128;
    std::array<input_event, kReadBatch> buffer_{};
    unsigned leds_ = 0;
    bool ledsKnown_ = false;
    // How many grabbed keyboards hold each key: a key held on two keyboards
    // (a foot pedal, a separate modifier pad) goes down with the first press
    // and up with the last release.
    std::array<uint8_t, KEY_CNT> holds_{};
    bool capsAsF19_ = false; // what the Caps Lock held now went down as
    QString failureReason_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> enabled_{true};
};

} // namespace kestrune
