#pragma once
// The part of an input-method switch every backend shares: requests from the
// tap thread carried to the main thread without blocking or allocating, and
// switches run one at a time there. Requests that arrive while a switch is
// under way collapse into the last one: the switches are absolute, so only
// the last says where the user wants to be, and only its result reaches the
// heads-up display.
//
// Threads: request() from any thread; the rest on the main thread.
// Lifetime: tap threads stop using the object before it is destroyed. A pass
// still queued then finds it gone and does nothing.

#include "base/Scheduler.h"
#include "platform/InputMethod.h"

#include <atomic>
#include <cstdint>
#include <optional>

namespace kestrune {

class QueuedInputMethod : public InputMethod {
public:
    explicit QueuedInputMethod(Scheduler& scheduler);
    ~QueuedInputMethod() override;
    QueuedInputMethod(const QueuedInputMethod&) = delete;
    QueuedInputMethod& operator=(const QueuedInputMethod&) = delete;

    bool request(InputMode mode) final;

protected:
    // Whether a switch can be made now; request() answers false while not.
    void setAvailable(bool available) { available_.store(available, std::memory_order_release); }
    bool isAvailable() const { return available_.load(std::memory_order_acquire); }
    // Starts switching to `mode`; the implementation calls finish() once,
    // at once or later.
    virtual void begin(InputMode mode) = 0;
    // The mode the switch reached as the input method reports it; none when
    // it could not tell or failed.
    void finish(std::optional<InputMode> reachedMode);

private:
    // Bits 0–1: the last mode asked for, plus one; bit 2: a pass is queued.
    struct Mailbox {
        std::atomic<uint32_t> word{0};
        QueuedInputMethod* owner = nullptr; // main thread; null once the owner is gone
    };
    static constexpr uint32_t kPending = 4;
    static void deliver(Mailbox* box);
    void start(InputMode mode);

    Scheduler& scheduler_;
    Mailbox* const box_;
    std::atomic<bool> available_{false};
    bool busy_ = false;
    std::optional<InputMode> next_;
};

} // namespace kestrune
