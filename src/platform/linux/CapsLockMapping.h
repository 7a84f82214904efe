#pragma once
// The Caps Lock → F19 mapping on Linux: a flag in the process, set by
// LinuxShellRunner from the mapping command lines and read by the tap when it
// translates Caps Lock. Nothing of it outlives the process.

#include <atomic>

namespace kestrune {

struct CapsLockMapping {
    // Any thread.
    bool toF19() const { return toF19_.load(std::memory_order_acquire); }
    void setToF19(bool on) { toF19_.store(on, std::memory_order_release); }

private:
    std::atomic<bool> toF19_{false};
};

} // namespace kestrune
