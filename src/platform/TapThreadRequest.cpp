#include "platform/TapThreadRequest.h"

namespace kestrune {

void TapThreadRequest::attach(std::function<void()> wake)
{
    std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
    ++attachments_;
    served_ = requested_; // what was asked of an earlier tap is not this one's
}

void TapThreadRequest::detach()
{
    {
        std::lock_guard lock(mutex_);
        wake_ = nullptr;
        ++attachments_;
    }
    changed_.notify_all();
}

bool TapThreadRequest::requestAndWait(std::chrono::milliseconds guard)
{
    std::unique_lock lock(mutex_);
    if (!wake_)
        return false;
    const uint64_t ticket = ++requested_;
    const uint64_t attachment = attachments_;
    wake_();
    changed_.wait_for(lock, guard, [&] { return served_ >= ticket || attachments_ != attachment; });
    return served_ >= ticket && attachments_ == attachment;
}

} // namespace kestrune
