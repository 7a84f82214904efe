#pragma once
// The two editors over the real models: both stores and the remapper on the
// sim backend (settings in a temporary folder), the real Linux workspace and
// GIO catalogue reading the test's own .desktop files (see
// linux/DesktopFilesEnvironment), the real window controllers. Windows are
// driven through WindowDriver.

#include "apps/Applications.h"
#include "exclusions/AppExclusionManager.h"
#include "exclusions/AppExclusionWindowController.h"
#include "launcher/AppLauncherManager.h"
#include "launcher/AppLauncherWindowController.h"
#include "platform/linux/GioApplicationCatalog.h"
#include "platform/linux/X11Workspace.h"
#include "platform/sim/SimPlatform.h"
#include "remapper/KeyRemapper.h"
#include "support/WindowDriver.h"
#include "system/PermissionManager.h"

#include <QQmlEngine>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace kestrune::test {

class EditorTest : public ::testing::Test {
protected:
    EditorTest();
    ~EditorTest() override;

    // Opens (or brings forward) an editor and drives its window.
    void openLauncher();
    void openExclusions();

    // An item by objectName in the driven window; fails the test if none.
    QQuickItem* item(const QString& objectName);
    bool isShown(const QString& objectName);
    // The file URL of a .desktop file below the test's data folder.
    static QUrl desktopFile(const QString& relative);
    // The chooser: opened with "Add Application", then narrowed by typing.
    void openChooser();
    void search(const QString& text);
    // The launcher's key capture for the application found by `query`.
    void startCapture(const QString& query);
    // Chooses a file in the "Browse…" dialog, as the user would.
    void browseTo(const QString& path);

    QTemporaryDir dir_;
    SimPlatform sim_{dir_.path()};
    Platform platform_{sim_.platform()};
    X11Workspace workspace_{sim_.scheduler()};
    PermissionManager permissions_{sim_.trust(), sim_.scheduler()};
    AppExclusionManager exclusions_{sim_.defaults(), workspace_, sim_.scheduler()};
    AppLauncherManager launcher_{sim_.defaults(), workspace_, sim_.scheduler(), sim_.console()};
    KeyRemapper remapper_{platform_, {&exclusions_, &launcher_, nullptr, &permissions_}};
    GioApplicationCatalog catalog_;
    Applications applications_{workspace_, &catalog_};
    std::unique_ptr<QQmlEngine> engine_;
    std::unique_ptr<AppLauncherWindowController> launcherWindow_;
    std::unique_ptr<AppExclusionWindowController> exclusionWindow_;
    WindowDriver d_;
};

} // namespace kestrune::test
