#include "app/PrintActiveApp.h"

#include "base/Console.h"
#include "base/QtScheduler.h"
#include "platform/linux/FrontmostRoute.h"

#include <QCoreApplication>
#include <QTimer>

namespace kestrune {

namespace {

constexpr int kDefaultSeconds = 10;

QString adviceFor(FrontmostBlocker blocker)
{
    switch (blocker) {
    case FrontmostBlocker::None: return {};
    case FrontmostBlocker::ShellExtensionOff:
        return QStringLiteral("Kestrune's GNOME Shell extension is installed but off: turn it on from Kestrune's "
                              "panel, or run: gnome-extensions enable kestrune@kestrune.com "
                              "(kestrune-legacy@kestrune.com on GNOME 43 and 44).");
    case FrontmostBlocker::ShellUserExtensionsOff:
        return QStringLiteral("Kestrune's GNOME Shell extension is installed but off, and so are user extensions "
                              "as a whole: turning it on from Kestrune's panel turns them all on again. Or run: "
                              "gnome-extensions enable kestrune@kestrune.com");
    case FrontmostBlocker::ShellExtensionMissing:
        return QStringLiteral("Kestrune's GNOME Shell extension is not installed, or failed to load "
                              "(see: gnome-extensions info kestrune@kestrune.com). Install the package, then log "
                              "out and back in. If Kestrune is running, it holds the bus name the extension "
                              "answers: quit it first.");
    case FrontmostBlocker::KWinScriptFailed:
        return QStringLiteral("KWin did not run Kestrune's script. If Kestrune is running, it holds the bus name "
                              "the script calls: quit it first. Otherwise install the package.");
    case FrontmostBlocker::DesktopUnsupported: break;
    }
    return QStringLiteral("This desktop does not tell Kestrune which window is active (X11 desktops, GNOME, "
                          "KDE Plasma and sway do).");
}

QString shown(const std::optional<QString>& id) { return id ? *id : QStringLiteral("(none)"); }

} // namespace

int printActiveApplications(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    StdoutConsole console;
    QtScheduler scheduler;
    bool ok = false;
    const int given = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt(&ok) : 0;
    const int seconds = ok && given > 0 ? given : kDefaultSeconds;

    const QDBusConnection bus = QDBusConnection::sessionBus();
    const SessionFacts session = SessionFacts::read(bus);
    const FrontmostRoute route = chooseFrontmostRoute(session);
    console.printLine(QStringLiteral("Route: %1 (XDG_CURRENT_DESKTOP=%2, XDG_SESSION_TYPE=%3)")
                          .arg(frontmostRouteName(route), session.currentDesktop, session.sessionType));
    LinuxWorkspace workspace(scheduler, makeActiveWindowSource(route, session, bus));
    auto report = [&] {
        if (workspace.canTrackFrontmostApplication())
            console.printLine(QStringLiteral("Following the active window. In front: %1")
                                  .arg(shown(workspace.frontmostBundleId())));
        else
            console.printLine(QStringLiteral("Not following the active window. ") +
                              adviceFor(workspace.frontmostBlocker()));
    };
    report();
    workspace.setTrackingChangedHandler(report);
    workspace.addActivationObserver(
        [&](const std::optional<QString>& id) { console.printLine(QStringLiteral("Activated: ") + shown(id)); });
    console.printLine(QStringLiteral("Switch between applications; this stops after %1 s.").arg(seconds));
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    return workspace.canTrackFrontmostApplication() ? 0 : 1;
}

} // namespace kestrune
