#include "hud/HUDManager.h"

namespace kestrune {

namespace {
const QString kEnabledKey = QStringLiteral("isHUDEnabled");
// Earlier versions only had the input-mode HUD and stored its switch here.
// Read as the default when the current key is missing; never written.
const QString kLegacyEnabledKey = QStringLiteral("isInputModeHUDEnabled");

bool storedEnabled(const UserDefaults& defaults)
{
    if (const auto enabled = defaults.boolValue(kEnabledKey))
        return *enabled;
    if (const auto legacy = defaults.boolValue(kLegacyEnabledKey))
        return *legacy;
    return true;
}
} // namespace

HUDManager::HUDManager(Scheduler& scheduler, UserDefaults& defaults, HudPanelFactory& panels, HudScreens& screens,
                       QObject* parent)
    : QObject(parent),
      scheduler_(scheduler),
      defaults_(defaults),
      panelFactory_(panels),
      screens_(screens),
      weakSelf_(this),
      isHUDEnabled_(storedEnabled(defaults)),
      isHUDEnabledMirror_(isHUDEnabled_),
      hyperViewModel_(this),
      inputModeViewModel_(this)
{
    // Building a window is slow; doing it on the first pass of the main
    // queue keeps it out of the launch path, and doing it up front keeps it
    // out of the first presentation.
    scheduler_.post([self = weakSelf_] {
        if (self)
            self->buildPanels();
    });
}

HUDManager::~HUDManager()
{
    for (WorkItemPtr* item : {&hyperDebounceWorkItem_, &inputModeHideWorkItem_, &hyperFade_, &inputModeFade_}) {
        if (*item)
            (*item)->cancel();
    }
}

void HUDManager::setIsHUDEnabled(bool enabled)
{
    defaults_.setValue(kEnabledKey, enabled);
    isHUDEnabledMirror_.store(enabled, std::memory_order_relaxed);
    if (enabled == isHUDEnabled_)
        return;
    isHUDEnabled_ = enabled;
    emit isHUDEnabledChanged();
}

void HUDManager::buildPanels()
{
    if (!hyperPanel_)
        hyperPanel_ = panelFactory_.makeHyperPanel(hyperViewModel_);
    if (!inputModePanel_)
        inputModePanel_ = panelFactory_.makeInputModePanel(inputModeViewModel_);
}

// --- Hyper ---------------------------------------------------------------

void HUDManager::showHyperHUD(Millis delay)
{
    if (!isHUDEnabled_)
        return;
    if (hyperDebounceWorkItem_)
        hyperDebounceWorkItem_->cancel();
    hyperDebounceWorkItem_ = scheduler_.postAfter(delay, [self = weakSelf_] {
        if (self)
            self->presentHyperHUD();
    });
}

void HUDManager::hideHyperHUD()
{
    if (hyperDebounceWorkItem_) {
        hyperDebounceWorkItem_->cancel();
        hyperDebounceWorkItem_.reset();
    }
    scheduler_.post([self = weakSelf_] {
        if (self)
            self->hideHyperSteps();
    });
}

void HUDManager::setPendingHyperConfig(config::HyperKeyConfig config)
{
    pendingHyperConfig_ = config;
}

void HUDManager::presentHyperHUD()
{
    scheduler_.post([self = weakSelf_] {
        if (self)
            self->presentHyperSteps();
    });
}

void HUDManager::presentHyperSteps()
{
    HudPanel* panel = hyperPanel_.get();
    if (!panel)
        return;
    // The combination is read only now, so a change while the pill is up
    // shows at the next presentation rather than mid-hold.
    hyperViewModel_.setConfig(pendingHyperConfig_);
    hyperViewModel_.setIsVisible(true);
    panel->setSize(panel->contentSize());
    if (const auto screen = screens_.mainScreen()) {
        const QRectF area = screen->availableGeometry;
        const QSizeF size = panel->size();
        panel->setPosition({area.center().x() - size.width() / 2,
                            area.bottom() - kHyperBottomInset - size.height()});
    }
    setOpacity(*panel, hyperFade_, 0);
    panel->orderFront();
    fadeOpacity(*panel, hyperFade_, 1.0, kHyperFade, nullptr);
}

void HUDManager::hideHyperSteps()
{
    HudPanel* panel = hyperPanel_.get();
    if (!panel)
        return;
    if (panel->opacity() != 0) {
        fadeOpacity(*panel, hyperFade_, 0, kHyperFade, [](HUDManager& self) {
            self.hyperViewModel_.setIsVisible(false);
            self.hyperPanel_->orderOut();
        });
        return;
    }
    setOpacity(*panel, hyperFade_, 0);
    hyperViewModel_.setIsVisible(false);
    panel->orderOut();
}

// --- Input mode ----------------------------------------------------------

void HUDManager::showInputModeHUD(InputMode mode)
{
    // Any thread: only the atomic mirror, the constant weak pointer and the
    // scheduler are touched here.
    if (!isHUDEnabledMirror_.load(std::memory_order_relaxed))
        return;
    scheduler_.post([self = weakSelf_, mode] {
        if (!self)
            return;
        // The pending hide is cancelled here, on the main thread, so that
        // the field is never touched from two threads.
        if (self->inputModeHideWorkItem_)
            self->inputModeHideWorkItem_->cancel();
        self->presentInputModeSteps(mode);
    });
}

void HUDManager::presentInputModeSteps(InputMode mode)
{
    // The view model follows even before the panel exists, so the view
    // starts from the latest mode once it is built.
    inputModeViewModel_.setMode(mode);
    inputModeViewModel_.setIsVisible(true);
    HudPanel* panel = inputModePanel_.get();
    if (!panel)
        return;
    panel->setSize(panel->contentSize());
    if (const auto screen = screens_.mainScreen()) {
        const QSizeF size = panel->size();
        const QPointF centre = screen->geometry.center();
        panel->setPosition({centre.x() - size.width() / 2, centre.y() - size.height() / 2});
    }
    setOpacity(*panel, inputModeFade_, 0);
    panel->orderFront();
    fadeOpacity(*panel, inputModeFade_, 1.0, kInputModeFadeIn, nullptr);
    inputModeHideWorkItem_ = scheduler_.postAfter(kInputModeShowTime, [self = weakSelf_] {
        if (self)
            self->hideInputModeHUD();
    });
}

void HUDManager::hideInputModeHUD()
{
    scheduler_.post([self = weakSelf_] {
        if (self)
            self->hideInputModeSteps();
    });
}

void HUDManager::hideInputModeSteps()
{
    HudPanel* panel = inputModePanel_.get();
    if (!panel)
        return;
    fadeOpacity(*panel, inputModeFade_, 0, kInputModeFadeOut, [](HUDManager& self) {
        self.inputModeViewModel_.setIsVisible(false);
        self.inputModePanel_->orderOut();
    });
}

// --- Fades ---------------------------------------------------------------

void HUDManager::setOpacity(HudPanel& panel, WorkItemPtr& fade, double value)
{
    if (fade) {
        fade->cancel();
        fade.reset();
    }
    panel.setOpacity(value);
}

void HUDManager::fadeOpacity(HudPanel& panel, WorkItemPtr& fade, double to, Millis duration,
                             std::function<void(HUDManager&)> completion)
{
    if (fade)
        fade->cancel();
    panel.animateOpacity(to, duration);
    // The panel and the fade slot live as long as the manager, which the
    // weak pointer guards.
    HudPanel* target = &panel;
    WorkItemPtr* slot = &fade;
    fade = scheduler_.postAfter(duration, [self = weakSelf_, target, slot, to, completion = std::move(completion)] {
        if (!self)
            return;
        slot->reset();
        target->setOpacity(to);
        if (completion)
            completion(*self);
    });
}

} // namespace kestrune
