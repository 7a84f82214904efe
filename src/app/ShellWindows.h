#pragma once
// The windows around the panel, built for the application: the launcher and
// exclusion editors its "Settings..." buttons open, the welcome window of a
// first launch, the pointer at the tray icon that follows it, and (on
// Linux) the input-access diagnosis behind "Fix", and the tray menu's
// "Open Settings" and "About Kestrune". Main thread; everything passed in
// outlives this.

#include "apps/Applications.h"
#include "apps/QuickWindowController.h"
#include "exclusions/AppExclusionWindowController.h"
#include "launcher/AppLauncherWindowController.h"
#include "onboarding/InputAccess.h"
#include "onboarding/MenuBarPointerManager.h"
#include "onboarding/WelcomeWindowController.h"
#include "platform/Platform.h"

#include <memory>

class QQmlEngine;

namespace kestrune {

class PanelWindow;
class TrayIcon;

class ShellWindows {
public:
    struct Parts {
        ApplicationCatalog* catalog = nullptr;    // null: choose files instead
        std::unique_ptr<InputAccess> inputAccess; // null: the system's own permission settings
        MenuBarPointerManager::Hooks pointer;
    };

    ShellWindows(QQmlEngine& engine, Platform& platform, PanelWindow& panel, TrayIcon& tray, Parts parts);
    ~ShellWindows();

    void showWelcomeWindow() { welcome_->showWelcomeWindow(); }
    // "Fix" while access is refused: granted in one step where it can be,
    // else the window with the command.
    void grantInputAccess();
    QuickWindowController& aboutWindow() { return *aboutWindow_; }

private:
    Applications applications_;
    AppLauncherWindowController launcherWindow_;
    AppExclusionWindowController exclusionWindow_;
    std::unique_ptr<InputAccess> inputAccess_;
    std::unique_ptr<QuickWindowController> inputAccessWindow_;
    std::unique_ptr<QuickWindowController> aboutWindow_;
    MenuBarPointerManager pointer_;
    std::unique_ptr<WelcomeWindowController> welcome_;
};

} // namespace kestrune
