// kestrune: the application. The composition root: it makes sure only one
// instance runs, builds the backend, the models, the panel, the HUDs and the
// tray icon, runs the launch sequence, and on quit (from the menu, SIGINT or
// SIGTERM alike) the termination reset.
//
// On Linux the real backend (evdev/uinput, udev, logind, X11, GIO); on macOS
// the Apple one (event tap, IOKit, AppKit, the native defaults domain). Where
// no backend exists yet, the simulated one: the process starts, waits for input
// that never comes, and shows its launch and termination behaviour.

#include "app/AppDelegate.h"
#include "app/ColorScheme.h"
#include "app/CommandLine.h"
#include "app/PanelWindow.h"
#include "app/ShellWindows.h"
#include "app/SignalQuit.h"
#include "app/SingleInstance.h"
#include "app/Translations.h"
#include "app/TrayIcon.h"
#include "base/Console.h"
#include "base/FileDefaults.h"
#include "base/QtScheduler.h"
#include "exclusions/AppExclusionManager.h"
#include "hud/HUDManager.h"
#include "hud/QuickHudPanel.h"
#include "keyboards/KeyboardsModel.h"
#include "keyboards/KeyboardsWindowController.h"
#include "launcher/AppLauncherManager.h"
#include "platform/HidKeyMapping.h"
#include "remapper/KeyRemapper.h"
#include "settings/SettingsFileStatus.h"
#include "system/FeedUpdates.h"
#include "system/LaunchAtLoginManager.h"
#include "system/PermissionManager.h"
#include "system/UpdaterManager.h"

#if defined(KESTRUNE_LINUX_BACKEND)
#include "app/InputServiceLink.h"
#include "app/LinuxBackend.h"
#include "app/PrintActiveApp.h"
#include "platform/linux/GioApplicationCatalog.h"
#include "platform/linux/X11Compositing.h"
#elif defined(KESTRUNE_MACOS_BACKEND)
#include "app/MacBackend.h"
#include "base/QSettingsDefaults.h"
#include <QSettings>
#else
#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimTranscript.h"
#include "platform/sim/SimWorkspace.h"
#endif

#include <QApplication>
#include <QFileInfo>
#ifdef Q_OS_MACOS
#include <QMenuBar>
#endif
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QThreadPool>

#include <functional>

using namespace kestrune;

namespace {

#if !defined(KESTRUNE_LINUX_BACKEND) && !defined(KESTRUNE_MACOS_BACKEND)
// The simulated pieces keep an internal record; nothing of it is printed,
// and no keystroke ever reaches it here.
class SimulatedBackend {
public:
    SimulatedBackend(Scheduler& scheduler, UserDefaults& defaults, Console& console, UpdateFramework& updates)
        : scheduler_(scheduler), defaults_(defaults), console_(console), updates_(updates), record_(scheduler),
          workspace_(scheduler)
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
    UpdateFramework& updates_;
    SimTranscript record_;
    SimShell shell_{record_};
    SimTrust trust_;
    SimKeyboard keyboard_{record_, shell_, trust_};
    SimDevices devices_;
    SimWake wake_;
    SimCapsLock capsLock_{record_};
    SimWorkspace workspace_;
    SimLoginItem loginItem_;
};
using Backend = SimulatedBackend;
#elif defined(KESTRUNE_MACOS_BACKEND)
using Backend = MacBackend;
#else
using Backend = LinuxBackend;
#endif

// How long a tray host may take to appear after launch.
constexpr Millis kTrayGrace{3000};

// The Linux forms of choosing an application, input access and the pointer.
ShellWindows::Parts shellParts([[maybe_unused]] Backend& backend, TrayIcon& tray)
{
    ShellWindows::Parts parts;
    parts.pointer.iconGeometry = [&tray] { return tray.geometry(); };
    parts.pointer.notify = [&tray](const QString& caption) { tray.showMessage(caption); };
#ifdef KESTRUNE_LINUX_BACKEND
    static GioApplicationCatalog catalog;
    parts.catalog = &catalog;
    InputAccess::Paths paths;
    paths.helper = installedPath(KESTRUNE_INPUT_HELPER_FROM_BINARY);
    const QString installedRule = installedPath(KESTRUNE_RULE_FROM_BINARY);
    paths.ruleSource = QFileInfo::exists(installedRule) ? installedRule : QStringLiteral(KESTRUNE_RULE_IN_SOURCE);
    if (InputServiceClient* service = backend.inputService())
        paths.serviceRunning = [service] { return service->isRunning(); };
    EvdevIo& io = backend.io();
    parts.inputAccess = std::make_unique<InputAccess>(paths, [&io] {
        InputAccess::KeyboardState state;
        for (const std::string& path : io.keyboardPaths()) {
            ++state.count;
            EvdevIo::OpenError error = EvdevIo::OpenError::none;
            state.anyReadable = state.anyReadable || io.open(path, &error) != nullptr;
        }
        return state;
    });
    parts.pointer.canPlaceWindows = [] { return QGuiApplication::platformName() != QLatin1String("wayland"); };
    parts.pointer.canBlendWindows = [] {
        return QGuiApplication::platformName() != QLatin1String("xcb") || x11HasCompositor();
    };
#endif
    return parts;
}

} // namespace

int main(int argc, char* argv[])
{
#ifdef KESTRUNE_LINUX_BACKEND
    // A check of the route to the active window, before anything of the application starts.
    if (argc > 1 && qstrcmp(argv[1], "--print-active-app") == 0)
        return printActiveApplications(argc, argv);
#endif
    // Help, version, --quit and mistakes are answered without a display
    // and without ever becoming the instance.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine command = CommandLine::parse(arguments);
    if (command.action != CommandLine::Action::run && command.action != CommandLine::Action::show)
        return runCommandLine(command, argc, argv);
    // The software scene graph draws these few small views quickly and keeps
    // a resident tray utility lean: no GPU driver is loaded for them.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrune"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("com.kestrune.Kestrune"));
    QApplication::setQuitOnLastWindowClosed(false);
    Translations translations;
    translations.install(QLocale());

    StdoutConsole console;
    SingleInstance instance(SingleInstance::defaultFolder());
    bool notified = false;
    const bool claimed = instance.claim(&notified);
    if (!instance.problem().isEmpty())
        console.printLine(instance.problem());
    if (!claimed) {
        if (!instance.problem().isEmpty())
            return 1;
        console.printLine(notified ? QStringLiteral("Kestrune is already running; its panel is now shown.")
                                   : QStringLiteral("Kestrune is already running but did not answer."));
        return notified ? 0 : 1;
    }

    QtScheduler scheduler;
#ifdef KESTRUNE_MACOS_BACKEND
    // The application's defaults domain, com.kestrune.Kestrune, in the
    // system's own property-list store.
    QSettings nativeSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kestrune.com"),
                             QStringLiteral("Kestrune"));
    QSettingsDefaults defaults(nativeSettings, &console);
#else
    FileDefaults defaults(FileDefaults::defaultDirectory(), &console);
#endif
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
#ifdef KESTRUNE_MACOS_BACKEND
    MacBackend::installImageProviders(engine);
#endif
    FeedUpdates updates(engine, QUrl(QStringLiteral(KESTRUNE_UPDATE_FEED_URL)), QStringLiteral(PROJECT_VERSION));
    Backend backend(scheduler, defaults, console, updates);
    Platform platform = backend.platform();

    ColorScheme colors;
    colors.start();

    PermissionManager permissions(platform.trust, scheduler);
    AppExclusionManager exclusions(defaults, platform.workspace, scheduler);
    AppLauncherManager launcher(defaults, platform.workspace, scheduler, console);
    QuickHudPanelFactory quickHudPanels(engine);
#ifdef KESTRUNE_MACOS_BACKEND
    MacHudPanelFactory hudPanels(quickHudPanels);
#else
    HudPanelFactory& hudPanels = quickHudPanels;
#endif
    PrimaryScreen hudScreens;
    HUDManager hud(scheduler, defaults, hudPanels, hudScreens);
    // Which keyboards are remapped, where the platform tells them apart: the
    // choices reach the tap (or the input service, before the settings that
    // start it reading) before any keyboard is grabbed.
    std::unique_ptr<KeyboardsModel> keyboards;
    if (platform.keyboards)
        keyboards = std::make_unique<KeyboardsModel>(defaults, *platform.keyboards);
    KeyRemapper remapper(platform, {&exclusions, &launcher, &hud, &permissions});
#ifdef KESTRUNE_LINUX_BACKEND
    // Packaged, the input service reads the keyboards; this is its client.
    std::unique_ptr<InputServiceLink> serviceLink;
    if (InputServiceClient* service = backend.inputService()) {
        LinuxInputMethod& inputMethod = backend.inputMethod();
        serviceLink = std::make_unique<InputServiceLink>(
            *service, InputServiceLink::Models{remapper, launcher, exclusions, hud, &inputMethod,
                                               [&inputMethod] { return inputMethod.canSwitch(); }});
        QObject::connect(&inputMethod, &LinuxInputMethod::summaryChanged, serviceLink.get(),
                         [&serviceLink] { serviceLink->inputMethodChanged(); });
    }
#endif
    LaunchAtLoginManager launchAtLogin(platform.loginItem, console);
    PermissionManager::setShared(&permissions);
    AppExclusionManager::setShared(&exclusions);
    AppLauncherManager::setShared(&launcher);
    HUDManager::setShared(&hud);
    KeyRemapper::setShared(&remapper);
    LaunchAtLoginManager::setShared(&launchAtLogin);

    SettingsFileStatus settingsFile(defaults);
    PanelWindow panel(engine, {{QStringLiteral("launchAtLogin"), QVariant::fromValue<QObject*>(&launchAtLogin)},
                               {QStringLiteral("keyboards"), QVariant::fromValue<QObject*>(keyboards.get())},
                               {QStringLiteral("hud"), QVariant::fromValue<QObject*>(&hud)},
                               {QStringLiteral("settingsFile"), QVariant::fromValue<QObject*>(&settingsFile)},
#ifdef KESTRUNE_LINUX_BACKEND
                               {QStringLiteral("inputMethod"), QVariant::fromValue(backend.inputMethodStatus())},
#endif
                              },
                      false);
#ifdef KESTRUNE_MACOS_BACKEND
    MacBackend::decoratePanel(panel);
#endif
    if (!panel.error().isEmpty())
        console.printLine(QStringLiteral("The settings panel could not be built: ") + panel.error());
    TrayIcon tray(&hud);
    tray.setStatus(remapper.status());
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    auto tintTray = [&](bool dark) { tray.setDarkPanel(TrayIcon::isPanelDark(dark, desktop)); };
    tintTray(colors.prefersDark());
    QObject::connect(&colors, &ColorScheme::changed, &tray, tintTray);
    ShellWindows windows(engine, platform, panel, tray, shellParts(backend, tray));
#ifdef KESTRUNE_LINUX_BACKEND
    backend.setGrantAction([&] { windows.grantInputAccess(); });
#endif
    std::unique_ptr<KeyboardsWindowController> keyboardsWindow;
    if (keyboards) {
        keyboardsWindow = std::make_unique<KeyboardsWindowController>(engine, *keyboards);
        KeyboardsWindowController::setShared(keyboardsWindow.get());
        tray.offerKeyboards();
        QObject::connect(&tray, &TrayIcon::keyboardsRequested, keyboardsWindow.get(), &KeyboardsWindowController::open);
        if (QQuickItem* view = panel.root())
            QObject::connect(view, SIGNAL(keyboardsRequested()), keyboardsWindow.get(), SLOT(open()));
        QObject::connect(keyboards.get(), &KeyboardsModel::firstSeen, &tray, &TrayIcon::announceNewKeyboard);
    }

    std::shared_ptr<UpdaterManager> updater;
    auto checkForUpdates = [] {
        if (UpdaterManager* shared = UpdaterManager::shared())
            shared->checkForUpdates();
    };
    auto resetKeys = [&] { platform.shell.run(kResetMappingCommand); };
    QObject::connect(&panel, &PanelWindow::resetKeysRequested, &app, resetKeys);
    QObject::connect(&panel, &PanelWindow::quitRequested, &app, &QCoreApplication::quit);
    QObject::connect(&tray, &TrayIcon::panelToggleRequested, &panel, &PanelWindow::toggleAt);
    QObject::connect(&panel, &PanelWindow::visibleChanged, &tray, &TrayIcon::setPanelOpen);
    QObject::connect(&tray, &TrayIcon::checkForUpdatesRequested, &app, checkForUpdates);
    QObject::connect(&tray, &TrayIcon::resetKeysRequested, &app, resetKeys);
    QObject::connect(&tray, &TrayIcon::quitRequested, &app, &QCoreApplication::quit);
#ifdef Q_OS_MACOS
    // The application menu's command, after "About": the same check as the
    // panel's menu item. A parentless menu bar is the global one.
    QMenuBar applicationMenuBar;
    QAction* checkCommand = applicationMenuBar.addMenu(QStringLiteral("Kestrune"))
                                ->addAction(QCoreApplication::translate("kestrune::TrayIcon", "Check for Updates..."));
    checkCommand->setMenuRole(QAction::ApplicationSpecificRole);
    QObject::connect(checkCommand, &QAction::triggered, &app, checkForUpdates);
#endif
    const auto showPanel = [&] { panel.showAt(panel.isStandalone() ? QRect() : tray.geometry()); };
    QObject::connect(&instance, &SingleInstance::activationRequested, &panel, showPanel);
    // kestrune --quit: the same clean quit as SIGTERM, with its reset.
    QObject::connect(&instance, &SingleInstance::quitRequested, &app, &QCoreApplication::quit);
    QObject::connect(&instance, &SingleInstance::pauseRequested, &remapper,
                     [&remapper](bool paused) { remapper.setIsEnabled(!paused); });

    AppDelegate::Hooks hooks;
    hooks.showWelcomeWindow = [&] { windows.showWelcomeWindow(); };
    hooks.createUpdater = [&] {
        // Made off the main thread, handed to it, then published there.
        QThreadPool::globalInstance()->start([&] {
            // Shared with the posted block, so that it is freed even when the
            // process quits before the main queue gets to it.
            auto made = std::make_shared<UpdaterManager>(platform.updates, scheduler);
            scheduler.post([&, made] {
                updater = made;
                UpdaterManager::setShared(made.get());
                panel.setModel("updater", made.get());
            });
        });
    };
    AppDelegate delegate(platform, remapper, permissions, hooks);
    SignalQuit::install(&app);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    // The tray places a new icon a moment after it shows (until then the
    // icon claims the screen's corner): --show at start waits for that, up to
    // 2 s, so that the panel opens beside the icon.
    std::function<void(int)> showPanelBesideTheIcon = [&](int triesLeft) {
        const QRect icon = tray.geometry();
        const bool placed = !icon.isEmpty() && icon.topLeft() != QPoint(0, 0);
        if (placed || triesLeft <= 0 || panel.isStandalone() || !TrayIcon::isAvailable()) {
            showPanel();
            return;
        }
        scheduler.postAfter(Millis{100}, [&showPanelBesideTheIcon, triesLeft] { showPanelBesideTheIcon(triesLeft - 1); });
    };
    scheduler.post([&] {
        delegate.applicationDidFinishLaunching();
        // The icon shows as soon as a tray exists, now or later.
        tray.show();
        if (command.action == CommandLine::Action::show)
            showPanelBesideTheIcon(20);
        if (TrayIcon::isAvailable())
            return;
        // Started at login, Kestrune may be up before the desktop's tray:
        // only when none has come after a moment do the settings open as
        // an ordinary window, so that they stay reachable.
        scheduler.postAfter(kTrayGrace, [&] {
            if (TrayIcon::isAvailable())
                return;
            panel.setStandalone(true);
            panel.showAt(QRect());
        });
    });

    const int status = app.exec();
    delegate.applicationWillTerminate();
    UpdaterManager::setShared(nullptr);
    QThreadPool::globalInstance()->waitForDone();
    return status;
}
