#pragma once
// The settings panel over the real models: KeyRemapper, PermissionManager
// and both stores built on the sim backend (settings in a temporary folder),
// registered as the shared instances the QML singletons hand out. The
// models the application passes in (launch at login, HUD, updater) are
// stand-ins with the same property names. The panel sits on a wallpaper so
// that its translucency shows in screenshots.

#include "exclusions/AppExclusionManager.h"
#include "launcher/AppLauncherManager.h"
#include "platform/sim/SimPlatform.h"
#include "remapper/KeyRemapper.h"
#include "support/ViewHarness.h"
#include "system/PermissionManager.h"

#include <QQuickItem>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace kestrune::test {

class PanelTest : public ::testing::Test {
protected:
    PanelTest();
    ~PanelTest() override;

    // Loads the panel (appearance pinned light or dark) and lets the first
    // permission check publish. Fails the test on QML errors.
    void loadPanel(bool dark = false);

    // An item by objectName anywhere in the window, popups included; fails
    // the test if there is none.
    QQuickItem* item(const QString& objectName);
    // The same, or null.
    QQuickItem* maybeItem(const QString& objectName);

    QObject* view() const { return view_; }
    // The stand-ins: "hudStub", "loginStub", "updaterStub".
    QObject* stub(const char* name) const;

    // Runs the main-queue work due now (published trust, settings) and lets
    // the tap thread and the view settle.
    void runDue();
    // Renders a frame: layouts place their children only when polished for
    // a frame, and an event loop turn alone does not bring one.
    void layOut();
    // Scrolls the panel, with the wheel, until the item is in view (items
    // in popups are left alone).
    void reveal(QQuickItem* item);
    // A person's click or hover at the item as it is on screen now: laid
    // out, scrolled into view; then the work the click posted runs.
    void click(QQuickItem* item);
    void clickAt(QQuickItem* item, QPointF local);
    void hover(QQuickItem* item);
    // Clicks the card where it has no control of its own.
    void clickCard(const QString& objectName);
    // Opens the menu under ⋯ and chooses an item.
    void chooseMenuItem(const QString& objectName);
    void pressEscape();
    // Turns the wheel over the panel, as a touchpad does (pixel deltas;
    // negative scrolls the content up).
    void scrollBy(int pixels);

    QTemporaryDir dir_;
    SimPlatform sim_{dir_.path()};
    Platform platform_{sim_.platform()};
    PermissionManager permissions_{sim_.trust(), sim_.scheduler()};
    AppExclusionManager exclusions_{sim_.defaults(), sim_.workspace(), sim_.scheduler()};
    AppLauncherManager launcher_{sim_.defaults(), sim_.workspace(), sim_.scheduler(), sim_.console()};
    KeyRemapper remapper_{platform_, {&exclusions_, &launcher_, nullptr, &permissions_}};
    // Last, so the view goes before the models it reads.
    std::unique_ptr<ViewHarness> h_;

private:
    QObject* root_ = nullptr;
    QObject* view_ = nullptr;
};

} // namespace kestrune::test
