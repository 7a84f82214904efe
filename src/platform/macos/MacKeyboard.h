#pragma once
// The macOS event tap: an active Core Graphics tap at the head of the
// session's keyboard stream, run on the tap thread's own run loop, and
// synthetic key events posted at the HID level from one cached event source
// (HID system state), marked in their source-user-data field. The engine's
// EventType numbering is the native one; handleNativeEvent decides what
// becomes of each event.
//
// Threads: createTap, the tap's run() and destructor on the tap thread;
// post(), stop() and setEnabled() on any thread; releaseAllForSleep() on the
// main thread. Needs Accessibility trust: without it createTap returns null.

#include "platform/EventTap.h"
#include "platform/TapThreadRequest.h"

#include <chrono>

namespace kestrune {

class MacKeyboard final : public KeyboardEvents {
public:
    MacKeyboard();
    ~MacKeyboard() override;
    MacKeyboard(const MacKeyboard&) = delete;
    MacKeyboard& operator=(const MacKeyboard&) = delete;

    std::unique_ptr<EventTap> createTap(uint64_t mask, EventHandler& handler) override;
    // A posted event enters the HID system's stream and reaches the tap after
    // the event being handled, in posting order. It allocates one native
    // event: Core Graphics has no other way to post.
    void post(const KeyEvent& event) override;

    // Before sleep: on the tap thread, the engine forgets every key held
    // (resetKeyState) and posts the release of every key it sent out as
    // held. Waits for that at most `guard`; false when it did not happen in
    // time or no tap is running.
    bool releaseAllForSleep(std::chrono::milliseconds guard = std::chrono::milliseconds(500));

private:
    const void* source_ = nullptr; // CGEventSourceRef, owned
    TapThreadRequest sleepRelease_;
};

} // namespace kestrune
