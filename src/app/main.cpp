// kestrune: the application. Builds the backend, the models and the
// delegate, runs the launch sequence, and on quit (SIGINT or SIGTERM alike)
// the termination reset.
//
// On Linux the real backend (evdev/uinput, udev, logind, X11, GIO). Where no
// backend exists yet, the simulated one: the process starts, waits for input
// that never comes, and shows its launch and termination behaviour.

#include "app/AppDelegate.h"
#include "app/SignalQuit.h"
#include "base/Console.h"
#include "base/FileDefaults.h"
#include "base/QtScheduler.h"
#include "exclusions/AppExclusionManager.h"
#include "launcher/AppLauncherManager.h"
#include "remapper/KeyRemapper.h"
#include "system/PermissionManager.h"

#ifdef KESTRUNE_LINUX_BACKEND
#include "app/LinuxBackend.h"
#else
#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimTranscript.h"
#include "platform/sim/SimWorkspace.h"
#endif

#include <QCoreApplication>

using namespace kestrune;

namespace {

#ifndef KESTRUNE_LINUX_BACKEND
// The simulated pieces keep an internal record; nothing of it is printed,
// and no keystroke ever reaches it here.
class SimulatedBackend {
public:
    SimulatedBackend(Scheduler& scheduler, UserDefaults& defaults, Console& console)
        : scheduler_(scheduler), defaults_(defaults), console_(console), record_(scheduler), workspace_(scheduler)
    {
    }
    Platform platform()
    {
        return Platform{scheduler_, defaults_, console_, keyboard_, shell_, devices_, wake_,
                        trust_, capsLock_, workspace_, loginItem_, updates_};
    }

private:
    Scheduler& scheduler_;
    UserDefaults& defaults_;
    Console& console_;
    SimTranscript record_;
    SimShell shell_{record_};
    SimTrust trust_;
    SimKeyboard keyboard_{record_, shell_, trust_};
    SimDevices devices_;
    SimWake wake_;
    SimCapsLock capsLock_{record_};
    SimWorkspace workspace_;
    SimLoginItem loginItem_;
    SimUpdates updates_;
};
using Backend = SimulatedBackend;
#else
using Backend = LinuxBackend;
#endif

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrune"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));

    StdoutConsole console;
    QtScheduler scheduler;
    FileDefaults defaults(FileDefaults::defaultDirectory(), &console);
    Backend backend(scheduler, defaults, console);
    Platform platform = backend.platform();

    PermissionManager permissions(platform.trust, scheduler);
    AppExclusionManager exclusions(defaults, platform.workspace, scheduler);
    AppLauncherManager launcher(defaults, platform.workspace, scheduler, console);
    KeyRemapper remapper(platform, {&exclusions, &launcher, nullptr, &permissions});
    PermissionManager::setShared(&permissions);
    AppExclusionManager::setShared(&exclusions);
    AppLauncherManager::setShared(&launcher);
    KeyRemapper::setShared(&remapper);

    AppDelegate delegate(platform, remapper, permissions);
    SignalQuit::install(&app);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    scheduler.post([&] { delegate.applicationDidFinishLaunching(); });

    const int status = app.exec();
    delegate.applicationWillTerminate();
    return status;
}
