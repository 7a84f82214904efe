#pragma once
// The Linux workspace following the X11 active window (_NET_ACTIVE_WINDOW),
// for X11 sessions. Under Wayland, X11 sees only its own clients, so it
// follows nothing there.
//
// Main thread only. The scheduler must outlive the workspace.

#include "platform/linux/LinuxWorkspace.h"

#include <QByteArray>

namespace kestrune {

class X11Workspace final : public LinuxWorkspace {
    Q_OBJECT

public:
    // Follows the active window on `display` (empty: $DISPLAY), unless the
    // session is a Wayland one (XDG_SESSION_TYPE=wayland or WAYLAND_DISPLAY set).
    explicit X11Workspace(Scheduler& scheduler, const QByteArray& display = {}, QObject* parent = nullptr);

    static bool isWaylandSession();
};

} // namespace kestrune
