#pragma once
// HUDManager: the two heads-up displays, the Hyper pill that appears while
// Caps Lock is held and the square that shows the input mode after an
// Eisu/Kana tap. It owns their view models and panels and the timing of
// showing and hiding them. Main thread, except showInputModeHUD, which any
// thread may call.
//
// Every step it schedules holds the manager weakly and does nothing once it
// is gone; the panels go with it, so nothing it showed stays on screen.

#include "base/QmlSingleton.h"
#include "base/Scheduler.h"
#include "base/SharedInstance.h"
#include "base/UserDefaults.h"
#include "hud/HudPanel.h"
#include "remapper/HudRequests.h"
#include "hud/HudViewModels.h"

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>
#include <atomic>
#include <functional>
#include <memory>

namespace kestrune {

class HUDManager : public QObject, public HudRequests, public SharedInstance<HUDManager> {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool isHUDEnabled READ isHUDEnabled WRITE setIsHUDEnabled NOTIFY isHUDEnabledChanged)
    Q_PROPERTY(kestrune::HyperViewModel* hyperViewModel READ hyperViewModel CONSTANT)
    Q_PROPERTY(kestrune::InputModeViewModel* inputModeViewModel READ inputModeViewModel CONSTANT)

public:
    // QML reaches the process-wide instance only.
    static HUDManager* create(QQmlEngine*, QJSEngine* engine) { return qmlSharedInstance<HUDManager>(engine); }

    static constexpr Millis kHyperFade{200};
    static constexpr Millis kInputModeFadeIn{100};
    static constexpr Millis kInputModeShowTime{800};
    static constexpr Millis kInputModeFadeOut{300};
    // Distance between the Hyper pill and the bottom of the usable screen area.
    static constexpr double kHyperBottomInset = 80;

    // Everything passed in outlives the manager. The panels are built from
    // `panels` on the first pass of the main queue after construction.
    HUDManager(Scheduler& scheduler, UserDefaults& defaults, HudPanelFactory& panels, HudScreens& screens,
               QObject* parent = nullptr);
    ~HUDManager() override;

    bool isHUDEnabled() const { return isHUDEnabled_; }
    // Stored on every assignment, even of the same value. Turning HUDs off
    // leaves one on screen alone; only later presentations are suppressed.
    void setIsHUDEnabled(bool enabled);

    HyperViewModel* hyperViewModel() { return &hyperViewModel_; }
    InputModeViewModel* inputModeViewModel() { return &inputModeViewModel_; }
    config::HyperKeyConfig pendingHyperConfig() const { return pendingHyperConfig_; }

    // Null until built.
    HudPanel* hyperPanel() const { return hyperPanel_.get(); }
    HudPanel* inputModePanel() const { return inputModePanel_.get(); }

    // HudRequests.
    void showHyperHUD(Millis delay) override;
    void hideHyperHUD() override;
    void setPendingHyperConfig(config::HyperKeyConfig config) override;
    void showInputModeHUD(InputMode mode) override;

signals:
    void isHUDEnabledChanged();

private:
    void buildPanels();
    void presentHyperHUD();
    void presentHyperSteps();
    void hideHyperSteps();
    void presentInputModeSteps(InputMode mode);
    void hideInputModeHUD();
    void hideInputModeSteps();

    // Sets the opacity now / fades it, replacing the panel's earlier fade:
    // a fade that is overtaken never completes, so an old fade-out cannot
    // hide a HUD that was presented again in the meantime.
    void setOpacity(HudPanel& panel, WorkItemPtr& fade, double value);
    void fadeOpacity(HudPanel& panel, WorkItemPtr& fade, double to, Millis duration,
                     std::function<void(HUDManager&)> completion);

    Scheduler& scheduler_;
    UserDefaults& defaults_;
    HudPanelFactory& panelFactory_;
    HudScreens& screens_;
    // Made once on the main thread; the tap thread only copies it.
    const QPointer<HUDManager> weakSelf_;

    bool isHUDEnabled_ = true;
    // The tap thread's view of isHUDEnabled_.
    std::atomic<bool> isHUDEnabledMirror_{true};

    HyperViewModel hyperViewModel_;
    InputModeViewModel inputModeViewModel_;
    std::unique_ptr<HudPanel> hyperPanel_;
    std::unique_ptr<HudPanel> inputModePanel_;
    config::HyperKeyConfig pendingHyperConfig_ = config::HyperKeyConfig::hyper;

    WorkItemPtr hyperDebounceWorkItem_;
    WorkItemPtr inputModeHideWorkItem_;
    WorkItemPtr hyperFade_;
    WorkItemPtr inputModeFade_;
};

} // namespace kestrune
