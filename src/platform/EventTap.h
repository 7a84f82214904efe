#pragma once
// The keyboard event tap and synthetic events.

#include "platform/KeyEvent.h"

#include <QString>
#include <memory>

namespace kestrune {

// Receives every keyboard event the tap sees, on the tap thread.
class EventHandler {
public:
    virtual ~EventHandler() = default;
    // Returns false to drop the event; otherwise the (possibly modified) event
    // goes on to the frontmost application. Must not block or allocate.
    virtual bool handleEvent(KeyEvent& event) = 0;
    // Tap thread, between events: forget every key held (the machine is
    // about to sleep, and what is held now may never come up), ending holds
    // without their tap actions and posting the release of every key that
    // went out.
    virtual void resetKeyState() {}
};

// An installed, active tap at the head of the session's keyboard stream.
// Created, run and destroyed on the tap thread.
class EventTap {
public:
    virtual ~EventTap() = default;
    // Tap thread: delivers events to the handler until stop() is called.
    virtual void run() = 0;
    // Any thread: makes run() return. Idempotent; safe before run() starts.
    virtual void stop() = 0;
    // Any thread: enables or disables delivery (a tap disabled by timeout is
    // enabled again this way).
    virtual void setEnabled(bool enabled) = 0;
};

class KeyboardEvents {
public:
    virtual ~KeyboardEvents() = default;
    // Tap thread. Installs a tap for the event types in `mask` (bits by type
    // number). Returns null when the process may not observe the keyboard.
    virtual std::unique_ptr<EventTap> createTap(uint64_t mask, EventHandler& handler) = 0;
    // Tap thread, right after createTap() returned null: what stood in the
    // way, in the user's words; empty when it is only the missing permission.
    virtual QString tapFailureReason() const { return {}; }
    // Any thread. Posts a synthetic event at the hardware level. While a tap
    // is installed it passes through the tap after the event being handled,
    // in posting order. Never blocks or allocates.
    virtual void post(const KeyEvent& event) = 0;
};

} // namespace kestrune
