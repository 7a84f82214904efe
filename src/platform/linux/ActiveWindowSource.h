#pragma once
// One way of learning which window is active on a Linux desktop: the X11
// root window, the GNOME Shell extension, the KWin script, the i3/sway IPC
// socket. Each reports what the window tells about its program
// (WindowHints); the workspace turns that into an application identifier
// through DesktopApplications, the one lookup table for all of them.
//
// Main thread only.

#include "platform/System.h"
#include "platform/linux/DesktopApplications.h"

#include <functional>
#include <optional>

namespace kestrune {

class ActiveWindowSource {
public:
    virtual ~ActiveWindowSource() = default;

    // Whether activations are being followed. May change at any time.
    virtual bool isTracking() const = 0;
    // The active window's hints; nullopt when not tracking or no window is active.
    virtual const std::optional<WindowHints>& active() const = 0;
    // What stands in the way while not tracking.
    virtual FrontmostBlocker blocker() const
    {
        return isTracking() ? FrontmostBlocker::None : FrontmostBlocker::DesktopUnsupported;
    }
    // Clears the blocker where Kestrune can; the result arrives through onChanged.
    virtual void removeBlocker() {}

    // Runs after tracking started or stopped, the blocker changed, or another
    // window became active.
    std::function<void()> onChanged;

protected:
    void changed()
    {
        if (onChanged) {
            const auto hook = onChanged; // may be replaced meanwhile
            hook();
        }
    }
};

} // namespace kestrune
