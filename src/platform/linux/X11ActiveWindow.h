#pragma once
// The active window of an X11 desktop: _NET_ACTIVE_WINDOW on the root
// window, followed through PropertyNotify, and what the window tells about
// the program behind it.
//
// Main thread only. It has an xcb connection of its own, whose socket a
// QSocketNotifier watches; if the X server goes away it stops tracking.

#include "platform/linux/ActiveWindowSource.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;
struct xcb_connection_t;

namespace kestrune {

class X11ActiveWindow final : public ActiveWindowSource {
public:
    // Connects to `display` (empty: $DISPLAY). Without a display nothing is
    // tracked.
    explicit X11ActiveWindow(const QByteArray& display = {});
    ~X11ActiveWindow() override;

    X11ActiveWindow(const X11ActiveWindow&) = delete;
    X11ActiveWindow& operator=(const X11ActiveWindow&) = delete;

    bool isConnected() const { return connection_ != nullptr; }
    // Whether the root window publishes the active window (a window manager
    // supporting _NET_ACTIVE_WINDOW runs). May change at any time.
    bool isTracking() const override { return tracking_; }
    // The active window's hints; nullopt when not tracking or no window is active.
    const std::optional<WindowHints>& active() const override { return active_; }

private:
    struct Atoms;
    void readEvents();
    void refresh();
    bool readTracking(std::uint32_t* window);
    WindowHints readHints(std::uint32_t window);
    void disconnectBroken();

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::unique_ptr<Atoms> atoms_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::unique_ptr<QSocketNotifier>> retired_; // stopped during a wake-up
    bool tracking_ = false;
    std::uint32_t window_ = 0;
    std::optional<WindowHints> active_;
};

} // namespace kestrune
