#pragma once
// The macOS backend assembled for the application: Core Graphics event tap,
// hidutil through the serial shell runner, IOKit device notifications, the
// workspace's sleep, wake and activation notifications, Accessibility trust, the
// HID system's Caps Lock state, SMAppService, and Sparkle when the bundle
// carries it (else the feed check the application passes in). Also the
// native touches the shared windows need on macOS: application icons for
// QML, the panel's glass and the HUD panels' level and Spaces.
// Main thread. Owns every piece and outlives every model built on them.

#include "base/Console.h"
#include "base/UserDefaults.h"
#include "hud/HudPanel.h"
#include "platform/Platform.h"
#include "platform/macos/MacCapsLock.h"
#include "platform/macos/MacDeviceMonitor.h"
#include "platform/macos/MacKeyboard.h"
#include "platform/macos/MacLoginItem.h"
#include "platform/macos/MacTrust.h"
#include "platform/macos/MacWakeNotifier.h"
#include "platform/macos/MacWorkspace.h"
#include "platform/macos/SparkleUpdates.h"
#include "platform/posix/ProcessShellRunner.h"

#include <memory>

class QQmlEngine;

namespace kestrune {

class PanelWindow;
class QuickHudPanelFactory;

class MacBackend {
public:
    // `feedUpdates` (outlives the backend) serves when Sparkle is absent.
    MacBackend(Scheduler& scheduler, UserDefaults& defaults, Console& console, UpdateFramework& feedUpdates);
    Platform platform();

    // Serves "image://appicon/…" (AppBundle's appIconUrl) from `engine`.
    static void installImageProviders(QQmlEngine& engine);
    // Puts the system's glass behind the panel each time it is shown.
    static void decoratePanel(PanelWindow& panel);

private:
    Scheduler& scheduler_;
    UserDefaults& defaults_;
    Console& console_;
    MacKeyboard keyboard_;
    ProcessShellRunner shell_;
    MacDeviceMonitor devices_;
    MacWakeNotifier wake_;
    MacTrust trust_;
    MacCapsLock capsLock_;
    MacWorkspace workspace_;
    MacLoginItem loginItem_;
    std::unique_ptr<SparkleUpdates> sparkle_;
    UpdateFramework& updates_;
};

// The Qt Quick HUD panels, made to float at the status-bar level on every
// Space, click-through and never key. `inner` outlives the factory.
class MacHudPanelFactory final : public HudPanelFactory {
public:
    explicit MacHudPanelFactory(QuickHudPanelFactory& inner);
    std::unique_ptr<HudPanel> makeHyperPanel(HyperViewModel& model) override;
    std::unique_ptr<HudPanel> makeInputModePanel(InputModeViewModel& model) override;

private:
    QuickHudPanelFactory& inner_;
};

} // namespace kestrune
