#pragma once
// Which way of following the active window suits the session, decided once
// at start from the session's variables and the names owned on its bus.
//
// X11 sessions use the root window's _NET_ACTIVE_WINDOW. No Wayland protocol
// open to ordinary clients names the focused window, so under Wayland each
// desktop family has its own route: GNOME Shell through Kestrune's Shell
// extension, KDE Plasma through Kestrune's KWin script, sway and other
// i3-IPC compositors through their IPC socket. Anything else has none.

#include "base/Scheduler.h"
#include "platform/linux/ActiveWindowSource.h"
#include "platform/linux/LinuxWorkspace.h"

#include <QDBusConnection>
#include <QString>

#include <memory>

namespace kestrune {

enum class FrontmostRoute { None, X11, GnomeShell, KWin, Sway };

// What the route depends on.
struct SessionFacts {
    QString currentDesktop; // XDG_CURRENT_DESKTOP: a colon-separated list ("ubuntu:GNOME")
    QString sessionType;    // XDG_SESSION_TYPE
    QString waylandDisplay; // WAYLAND_DISPLAY
    QString swaySocket;     // SWAYSOCK
    bool gnomeShellOnBus = false; // org.gnome.Shell is owned on the session bus
    bool kwinOnBus = false;       // org.kde.KWin is owned on the session bus

    // Reads the environment and asks `bus` who is on it.
    static SessionFacts read(const QDBusConnection& bus);
};

FrontmostRoute chooseFrontmostRoute(const SessionFacts& session);

// "x11", "gnome-shell", "kwin", "sway", "none": for messages.
QString frontmostRouteName(FrontmostRoute route);

// The installed KWin script the KWin route loads: the first found in the XDG
// data folders, else the one under this build's installation prefix.
QString installedKWinScript();

// The active-window source of `route` on `bus`; null for FrontmostRoute::None.
std::unique_ptr<ActiveWindowSource> makeActiveWindowSource(FrontmostRoute route, const SessionFacts& session,
                                                           const QDBusConnection& bus);

// The workspace of this session, following it through the route chosen here.
std::unique_ptr<LinuxWorkspace> makeSessionWorkspace(Scheduler& scheduler,
                                                     const QDBusConnection& bus = QDBusConnection::sessionBus());

} // namespace kestrune
