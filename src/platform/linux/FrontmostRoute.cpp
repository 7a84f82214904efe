#include "platform/linux/FrontmostRoute.h"

#include "platform/linux/GnomeShellActiveWindow.h"
#include "platform/linux/KWinActiveWindow.h"
#include "platform/linux/SwayActiveWindow.h"
#include "platform/linux/X11ActiveWindow.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QStandardPaths>

namespace kestrune {

namespace {

bool desktopIs(const QStringList& desktops, QLatin1String name)
{
    for (const QString& desktop : desktops)
        if (desktop.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

SessionFacts SessionFacts::read(const QDBusConnection& bus)
{
    SessionFacts facts;
    facts.currentDesktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    facts.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE");
    facts.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    facts.swaySocket = qEnvironmentVariable("SWAYSOCK");
    if (bus.isConnected() && bus.interface()) {
        facts.gnomeShellOnBus = bus.interface()->isServiceRegistered(QStringLiteral("org.gnome.Shell")).value();
        facts.kwinOnBus = bus.interface()->isServiceRegistered(QStringLiteral("org.kde.KWin")).value();
    }
    return facts;
}

FrontmostRoute chooseFrontmostRoute(const SessionFacts& session)
{
    const bool wayland = session.sessionType == QLatin1String("wayland") || !session.waylandDisplay.isEmpty();
    if (!wayland)
        return FrontmostRoute::X11;
    const QStringList desktops = session.currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const bool haveSway = !session.swaySocket.isEmpty();
    // A session that names itself sway is sway, whatever else runs on the bus.
    if (haveSway && desktopIs(desktops, QLatin1String("sway")))
        return FrontmostRoute::Sway;
    // A desktop named, or none named but its compositor on the bus.
    if (session.gnomeShellOnBus && (desktopIs(desktops, QLatin1String("GNOME")) || desktops.isEmpty()))
        return FrontmostRoute::GnomeShell;
    if (session.kwinOnBus && (desktopIs(desktops, QLatin1String("KDE")) || desktops.isEmpty()))
        return FrontmostRoute::KWin;
    if (haveSway)
        return FrontmostRoute::Sway;
    return FrontmostRoute::None;
}

QString frontmostRouteName(FrontmostRoute route)
{
    switch (route) {
    case FrontmostRoute::X11: return QStringLiteral("x11");
    case FrontmostRoute::GnomeShell: return QStringLiteral("gnome-shell");
    case FrontmostRoute::KWin: return QStringLiteral("kwin");
    case FrontmostRoute::Sway: return QStringLiteral("sway");
    case FrontmostRoute::None: break;
    }
    return QStringLiteral("none");
}

QString installedKWinScript()
{
    const QString found = QStandardPaths::locate(QStandardPaths::GenericDataLocation, KWinActiveWindow::kScriptFile);
    if (!found.isEmpty())
        return found;
    // Outside XDG_DATA_DIRS (a `cmake --install --prefix` tree): beside the executable.
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" KESTRUNE_SHARE_FROM_BINARY "/")
                           + KWinActiveWindow::kScriptFile);
}

std::unique_ptr<ActiveWindowSource> makeActiveWindowSource(FrontmostRoute route, const SessionFacts& session,
                                                           const QDBusConnection& bus)
{
    switch (route) {
    case FrontmostRoute::X11: return std::make_unique<X11ActiveWindow>();
    case FrontmostRoute::GnomeShell: return std::make_unique<GnomeShellActiveWindow>(bus);
    case FrontmostRoute::KWin:
        return std::make_unique<KWinActiveWindow>(bus, installedKWinScript());
    case FrontmostRoute::Sway: return std::make_unique<SwayActiveWindow>(session.swaySocket);
    case FrontmostRoute::None: break;
    }
    return nullptr;
}

std::unique_ptr<LinuxWorkspace> makeSessionWorkspace(Scheduler& scheduler, const QDBusConnection& bus)
{
    const SessionFacts session = SessionFacts::read(bus);
    return std::make_unique<LinuxWorkspace>(scheduler,
                                            makeActiveWindowSource(chooseFrontmostRoute(session), session, bus));
}

} // namespace kestrune
