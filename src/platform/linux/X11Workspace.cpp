#include "platform/linux/X11Workspace.h"

#include "platform/linux/X11ActiveWindow.h"

namespace kestrune {

namespace {

std::unique_ptr<ActiveWindowSource> x11Source(const QByteArray& display)
{
    if (X11Workspace::isWaylandSession())
        return nullptr;
    return std::make_unique<X11ActiveWindow>(display);
}

} // namespace

X11Workspace::X11Workspace(Scheduler& scheduler, const QByteArray& display, QObject* parent)
    : LinuxWorkspace(scheduler, x11Source(display), parent)
{
}

bool X11Workspace::isWaylandSession()
{
    return qgetenv("XDG_SESSION_TYPE") == "wayland" || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

} // namespace kestrune
