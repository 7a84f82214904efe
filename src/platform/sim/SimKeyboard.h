#pragma once
// The simulated keyboard: scripted physical keys go through the installed tap
// on its own thread, and whatever reaches the application is recorded in the
// transcript as "out …" lines.
//
// Threads: createTap, and the tap's run() and destructor, on the tap thread;
// post(), stop() and setEnabled() on any thread; the driver functions
// (inject, physicalDown/Up, injectTapDisabled, waitIdle) on one driving thread
// (the main thread). Every driver function returns only once the tap thread
// has handled everything queued, including synthetic events the handler
// posted meanwhile, so a transcript is the same on every run.
//
// Ownership: the transcript, shell and trust must outlive the keyboard, and
// the keyboard must outlive every tap it created.

#include "base/KeyCodes.h"
#include "platform/EventTap.h"
#include "platform/System.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimTranscript.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

namespace kestrune {

class SimTap;

class SimKeyboard final : public KeyboardEvents {
public:
    SimKeyboard(SimTranscript& transcript, const SimShell& shell, const AccessibilityTrust& trust);

    // Null while untrusted. The new tap is the installed one (replacing any
    // other), enabled, and receives events once its run() is entered; events
    // injected before that wait for it.
    std::unique_ptr<EventTap> createTap(uint64_t mask, EventHandler& handler) override;
    QString tapFailureReason() const override;
    // Driver. While set, taps cannot be created even with trust, for this
    // reason (as when the virtual keyboard cannot be made); empty: they can.
    void setTapFailure(const QString& reason);
    // While an enabled tap is installed, the event is queued for it and
    // handled after the event being handled, in posting order, before the next
    // physical event. Otherwise it reaches the application at once.
    void post(const KeyEvent& event) override;

    // Driver. One event from the hardware: through the tap when an enabled tap
    // is installed, otherwise straight to the output.
    void inject(const KeyEvent& event);
    // Driver. A physical key. Modifier keys give FlagsChanged with the flags of
    // every modifier then held (both sides share a bit). Caps Lock gives F19
    // down/up while the shell's mapping is in force (a press keeps the key it
    // went down as), otherwise FlagsChanged of Caps Lock. Other keys give key
    // down/up with the held modifiers' flags.
    void physicalDown(KeyCode code);
    void physicalUp(KeyCode code);
    void physicalPress(KeyCode code);
    // Driver. The keyboard repeats a held key: an autorepeat key-down (F19
    // for a Caps Lock held as F19). Modifiers and unheld keys do not repeat.
    void physicalRepeat(KeyCode code);
    // Driver. The keyboard vanishes: each key it holds is released with the
    // deviceGone mark, ordinary keys first, then Caps Lock, then the
    // modifiers; the next key comes from a keyboard with nothing held.
    void unplug();
    // Driver. The installed tap's handler resets its key state on the tap
    // thread (as before sleep); nothing without a tap.
    void resetTapState();
    // Driver. Delivers TapDisabledByTimeout or TapDisabledByUserInput to the
    // installed tap's handler; on timeout the tap is disabled first, as the
    // system does, and stays so until someone enables it. Nothing is recorded.
    void injectTapDisabled(EventType type);
    // Driver. Until both queues are empty and no event is being handled
    // (while stalled: at once).
    void waitIdle();
    // Driver. The tap thread stalls, as a loaded machine's may: keys injected
    // meanwhile and whatever is posted wait for it. On resume it handles the
    // keys that came meanwhile before what was posted, as a tap reading its
    // keyboards before its own queue does. While stalled, drive nothing but
    // keys and time.
    void stall();
    void resume();
    // Any thread. Blocks until an installed tap is inside run(), or until
    // `realTimeout` passes (false): the tap thread starts asynchronously.
    bool waitForRunningTap(std::chrono::milliseconds realTimeout = std::chrono::seconds(10));

    // Any thread.
    bool hasInstalledTap() const;
    bool isTapEnabled() const;
    int tapsCreated() const;
    // Keys the output holds down (from recorded key downs and ups), ascending.
    std::vector<KeyCode> keysDownInOutput() const;

    // Driver. Flags of the physical modifiers held.
    uint64_t physicalFlags() const;

private:
    friend class SimTap;

    bool acceptsLocked(const KeyEvent& event) const;
    bool idleLocked() const;
    void waitIdleLocked(std::unique_lock<std::mutex>& lock);
    void recordLocked(const KeyEvent& event);
    void settleLocked();

    SimTranscript& transcript_;
    const SimShell& shell_;
    const AccessibilityTrust& trust_;

    mutable std::mutex mutex_;
    std::condition_variable workChanged_;  // the tap thread waits on it
    std::condition_variable stateChanged_; // drivers wait on it
    std::deque<KeyEvent> physical_;
    std::deque<KeyEvent> synthetic_;
    SimTap* installed_ = nullptr;
    int handling_ = 0;
    bool resetRequested_ = false;
    bool stalled_ = false;
    size_t keysFromStall_ = 0; // physical events that came while stalled, handled first
    int tapsCreated_ = 0;
    std::set<KeyCode> outputDown_;
    QString tapFailure_;

    // Driver thread only.
    std::set<KeyCode> heldModifiers_;
    std::set<KeyCode> heldKeys_; // other keys; a second press is a repeat
    std::optional<bool> capsDownAsF19_;
};

} // namespace kestrune
