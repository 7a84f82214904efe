#pragma once
// The application's windows as the composition root wires them
// (ShellWindows): the real panel, tray icon, welcome window, pointer and
// input-access diagnosis, over the real models on the sim backend, whose
// virtual clock the tests advance. The input-access conditions read a
// temporary folder.

#include "app/PanelWindow.h"
#include "app/ShellWindows.h"
#include "app/TrayIcon.h"
#include "exclusions/AppExclusionManager.h"
#include "launcher/AppLauncherManager.h"
#include "platform/sim/SimPlatform.h"
#include "remapper/KeyRemapper.h"
#include "support/WindowDriver.h"
#include "system/PermissionManager.h"

#include <QQmlEngine>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace kestrune::test {

class OnboardingTest : public ::testing::Test {
protected:
    OnboardingTest();
    ~OnboardingTest() override;

    // Builds the windows; `linux` gives the guide the input-access page.
    void build(bool linux = true);
    // The welcome window once shown, or null.
    QQuickWindow* welcomeWindow() const;
    // Advances the virtual clock and lets the views follow.
    void advance(Millis by);
    MenuBarPointerManager& pointer() { return *MenuBarPointerManager::shared(); }

    QTemporaryDir dir_;
    SimPlatform sim_{dir_.path()};
    Platform platform_{sim_.platform()};
    PermissionManager permissions_{sim_.trust(), sim_.scheduler()};
    AppExclusionManager exclusions_{sim_.defaults(), sim_.workspace(), sim_.scheduler()};
    AppLauncherManager launcher_{sim_.defaults(), sim_.workspace(), sim_.scheduler(), sim_.console()};
    KeyRemapper remapper_{platform_, {&exclusions_, &launcher_, nullptr, &permissions_}};
    std::unique_ptr<QQmlEngine> engine_;
    std::unique_ptr<PanelWindow> panel_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<ShellWindows> windows_;
    QObject hud_;
    QRect icon_;
    bool wayland_ = false;
    bool blend_ = true;
    // A stand-in pkexec and helper (which "loads uinput") for the one-step fix.
    bool canGrant_ = false;
    QStringList notices_;
    WindowDriver d_;
};

} // namespace kestrune::test
