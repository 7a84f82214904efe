// kestrune: the application. Builds the backend, the models and the
// delegate, runs the launch sequence, and on quit (menu, SIGINT or SIGTERM)
// the termination reset.
//
// Until the Linux backend lands, keyboard, devices and applications come
// from the simulated backend: the process starts, waits for input that
// never comes, and shows its launch and termination behaviour.

#include "app/AppDelegate.h"
#include "app/SignalQuit.h"
#include "base/Console.h"
#include "base/FileDefaults.h"
#include "base/QtScheduler.h"
#include "exclusions/AppExclusionManager.h"
#include "launcher/AppLauncherManager.h"
#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimTranscript.h"
#include "platform/sim/SimWorkspace.h"
#include "remapper/KeyRemapper.h"
#include "system/PermissionManager.h"

#include <QCoreApplication>

using namespace kestrune;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrune"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));

    StdoutConsole console;
    QtScheduler scheduler;
    FileDefaults defaults(FileDefaults::defaultDirectory(), &console);

    // The simulated pieces keep an internal record; nothing of it is
    // printed, and no keystroke ever reaches it here.
    SimTranscript record(scheduler);
    SimShell shell(record);
    SimTrust trust;
    SimKeyboard keyboard(record, shell, trust);
    SimDevices devices;
    SimWake wake;
    SimCapsLock capsLock(record);
    SimWorkspace workspace(scheduler);
    SimLoginItem loginItem;
    SimUpdates updates;
    Platform platform{scheduler, defaults, console, keyboard, shell, devices, wake,
                      trust, capsLock, workspace, loginItem, updates};

    PermissionManager permissions(trust, scheduler);
    AppExclusionManager exclusions(defaults, workspace, scheduler);
    AppLauncherManager launcher(defaults, workspace, scheduler, console);
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
