#include "remapper/HudMailbox.h"

#include "remapper/KeyProcessingConstants.h"

#include <memory>
#include <mutex>
#include <vector>

namespace kestrune {

namespace {
// Retired mailboxes that may still have a pass queued somewhere; freed when
// the process ends.
struct Retired {
    std::mutex mutex;
    std::vector<std::unique_ptr<HudMailbox>> boxes;
};
Retired& retired()
{
    static Retired r;
    return r;
}
} // namespace

HudMailbox* HudMailbox::create(Scheduler& scheduler, HudRequests* hud)
{
    return new HudMailbox(scheduler, hud);
}

void HudMailbox::retire()
{
    hud_ = nullptr;
    if (!(word_.load(std::memory_order_acquire) & kPending)) {
        delete this;
        return;
    }
    Retired& r = retired();
    std::lock_guard lock(r.mutex);
    r.boxes.emplace_back(this);
}

void HudMailbox::request(uint32_t kind)
{
    uint32_t old = word_.load(std::memory_order_relaxed);
    uint32_t next = 0;
    do {
        next = (old & ~(3u << 3)) | kPending | (kind << 3);
        if (first(old) == 0)
            next |= kind << 1;
    } while (!word_.compare_exchange_weak(old, next, std::memory_order_acq_rel, std::memory_order_relaxed));
    if (!(old & kPending))
        scheduler_.post([box = this] { box->deliver(); });
}

void HudMailbox::deliver()
{
    const uint32_t w = word_.exchange(0, std::memory_order_acq_rel);
    if (!hud_)
        return;
    const uint32_t a = first(w);
    const uint32_t b = last(w);
    // Within one burst requests alternate; the HUD only needs to see the
    // first one (it ends what was before the burst) and, when it differs,
    // the last one (what holds after it).
    auto send = [&](uint32_t kind) {
        if (kind == kShow)
            hud_->showHyperHUD(kHyperHudDelay);
        else if (kind == kHide)
            hud_->hideHyperHUD();
    };
    send(a);
    if (b != a)
        send(b);
}

} // namespace kestrune
