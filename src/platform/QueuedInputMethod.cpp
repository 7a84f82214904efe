#include "platform/QueuedInputMethod.h"

namespace kestrune {

QueuedInputMethod::QueuedInputMethod(Scheduler& scheduler) : scheduler_(scheduler), box_(new Mailbox)
{
    box_->owner = this;
}

QueuedInputMethod::~QueuedInputMethod()
{
    // A queued pass frees the mailbox itself when it finds no owner.
    if (box_->word.load(std::memory_order_acquire) & kPending)
        box_->owner = nullptr;
    else
        delete box_;
}

bool QueuedInputMethod::request(InputMode mode)
{
    if (!isAvailable())
        return false;
    const uint32_t wanted = kPending | (mode == InputMode::kana ? 2u : 1u);
    const uint32_t old = box_->word.exchange(wanted, std::memory_order_acq_rel);
    if (!(old & kPending))
        scheduler_.post([box = box_] { deliver(box); });
    return true;
}

void QueuedInputMethod::deliver(Mailbox* box)
{
    const uint32_t word = box->word.exchange(0, std::memory_order_acq_rel);
    if (!box->owner) {
        delete box;
        return;
    }
    const uint32_t asked = word & 3u;
    if (asked != 0)
        box->owner->start(asked == 2 ? InputMode::kana : InputMode::eisu);
}

void QueuedInputMethod::start(InputMode mode)
{
    if (busy_) {
        next_ = mode;
        return;
    }
    busy_ = true;
    begin(mode);
}

void QueuedInputMethod::finish(std::optional<InputMode> reachedMode)
{
    busy_ = false;
    if (next_) {
        const InputMode mode = *next_;
        next_.reset();
        start(mode);
        return;
    }
    if (reachedMode)
        reached(*reachedMode);
}

} // namespace kestrune
