// Which route to the active window each kind of session gets.

#include "platform/linux/FrontmostRoute.h"

#include "SystemTestSupport.h"

#include "base/QtScheduler.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

struct Case {
    const char* what;
    SessionFacts session;
    FrontmostRoute expected;
};

SessionFacts facts(const char* desktop, const char* type, const char* wayland, const char* sway, bool shell = false,
                   bool kwin = false)
{
    return SessionFacts{QString::fromLatin1(desktop), QString::fromLatin1(type), QString::fromLatin1(wayland),
                        QString::fromLatin1(sway), shell, kwin};
}

TEST(FrontmostRouteTest, EachSessionGetsItsRoute)
{
    using R = FrontmostRoute;
    const Case cases[] = {
        // X11 sessions, whatever the desktop: the root window says it all.
        {"GNOME on X11", facts("GNOME", "x11", "", "", true), R::X11},
        {"Plasma on X11", facts("KDE", "x11", "", "", false, true), R::X11},
        {"i3 on X11", facts("i3", "x11", "", ""), R::X11},
        {"nothing known", facts("", "", "", ""), R::X11},
        // GNOME under Wayland, by the session type or the display alone.
        {"GNOME", facts("GNOME", "wayland", "wayland-0", "", true), R::GnomeShell},
        {"Ubuntu's GNOME", facts("ubuntu:GNOME", "wayland", "wayland-0", "", true), R::GnomeShell},
        {"GNOME, type unset", facts("GNOME", "", "wayland-0", "", true), R::GnomeShell},
        {"GNOME, display unset", facts("GNOME", "wayland", "", "", true), R::GnomeShell},
        {"GNOME without its Shell on the bus", facts("GNOME", "wayland", "wayland-0", ""), R::None},
        {"no desktop named, Shell on the bus", facts("", "wayland", "wayland-0", "", true), R::GnomeShell},
        // Plasma under Wayland.
        {"Plasma", facts("KDE", "wayland", "wayland-0", "", false, true), R::KWin},
        {"Plasma without KWin on the bus", facts("KDE", "wayland", "wayland-0", ""), R::None},
        {"no desktop named, KWin on the bus", facts("", "wayland", "wayland-0", "", false, true), R::KWin},
        // A named desktop decides between compositors both on the bus.
        {"KDE with a Shell around", facts("KDE", "wayland", "wayland-0", "", true, true), R::KWin},
        {"GNOME with a KWin around", facts("GNOME", "wayland", "wayland-0", "", true, true), R::GnomeShell},
        // sway and other i3-IPC compositors.
        {"sway", facts("sway", "wayland", "wayland-1", "/run/user/1000/sway-ipc.sock"), R::Sway},
        {"sway, desktop unset", facts("", "wayland", "wayland-1", "/run/user/1000/sway-ipc.sock"), R::Sway},
        {"sway in a session with a Shell on the bus",
         facts("sway", "wayland", "wayland-1", "/run/user/1000/sway-ipc.sock", true), R::Sway},
        {"another i3-IPC compositor", facts("SwayFX", "wayland", "wayland-1", "/tmp/ipc.sock"), R::Sway},
        {"sway named but no socket", facts("sway", "wayland", "wayland-1", ""), R::None},
        // The rest has no route.
        {"Hyprland", facts("Hyprland", "wayland", "wayland-1", ""), R::None},
        {"Weston", facts("", "wayland", "wayland-0", ""), R::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(frontmostRouteName(chooseFrontmostRoute(c.session)), frontmostRouteName(c.expected)) << c.what;
}

TEST(FrontmostRouteTest, WithoutARouteNothingIsFollowedAndTheDesktopIsUnsupported)
{
    test::ensureApplication();
    QtScheduler scheduler;
    LinuxWorkspace workspace(scheduler, makeActiveWindowSource(FrontmostRoute::None, {}, QDBusConnection(QString())));
    EXPECT_FALSE(workspace.canTrackFrontmostApplication());
    EXPECT_EQ(workspace.frontmostBlocker(), FrontmostBlocker::DesktopUnsupported);
    EXPECT_EQ(workspace.frontmostBundleId(), std::nullopt);
    workspace.removeFrontmostBlocker(); // nothing to do, and nothing breaks
    EXPECT_FALSE(workspace.canTrackFrontmostApplication());
}

} // namespace
} // namespace kestrune
