#include "app/MacBackend.h"

#include "app/AppIconProvider.h"
#include "app/PanelWindow.h"
#include "hud/QuickHudPanel.h"
#include "platform/macos/MacWindows.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

namespace kestrune {

namespace {
// The settings panel's own corner radius (SettingsView.qml).
constexpr double kPanelCornerRadius = 12.0;

// A HUD panel whose native window is set up again each time it is shown.
class MacHudPanel final : public HudPanel {
public:
    explicit MacHudPanel(std::unique_ptr<HudPanel> inner) : inner_(std::move(inner)) {}

    QSizeF contentSize() const override { return inner_->contentSize(); }
    QSizeF size() const override { return inner_->size(); }
    void setSize(QSizeF size) override { inner_->setSize(size); }
    QPointF position() const override { return inner_->position(); }
    void setPosition(QPointF topLeft) override { inner_->setPosition(topLeft); }
    double opacity() const override { return inner_->opacity(); }
    void setOpacity(double value) override { inner_->setOpacity(value); }
    void animateOpacity(double to, Millis duration) override { inner_->animateOpacity(to, duration); }
    void orderFront() override
    {
        inner_->orderFront();
        if (auto* quick = dynamic_cast<QuickHudPanel*>(inner_.get()))
            configureHudWindow(quick->window());
    }
    void orderOut() override { inner_->orderOut(); }
    bool isShown() const override { return inner_->isShown(); }

private:
    std::unique_ptr<HudPanel> inner_;
};
} // namespace

MacBackend::MacBackend(Scheduler& scheduler, UserDefaults& defaults, Console& console, UpdateFramework& feedUpdates)
    : scheduler_(scheduler)
    , defaults_(defaults)
    , console_(console)
    , workspace_(scheduler)
    , sparkle_(SparkleUpdates::loadFromBundle())
    , updates_(sparkle_ ? static_cast<UpdateFramework&>(*sparkle_) : feedUpdates)
{
    // Keys held as the machine sleeps may never come up: let go of them first.
    wake_.beforeSleep = [this] { keyboard_.releaseAllForSleep(); };
}

Platform MacBackend::platform()
{
    return Platform{scheduler_, defaults_, console_, keyboard_, shell_, devices_, wake_,
                    trust_, capsLock_, workspace_, loginItem_, updates_};
}

void MacBackend::installImageProviders(QQmlEngine& engine)
{
    engine.addImageProvider(AppIconProvider::kProviderId, new AppIconProvider(&MacWorkspace::applicationIcon));
}

void MacBackend::decoratePanel(PanelWindow& panel)
{
    QQuickItem* root = panel.root();
    QQuickWindow* window = root ? root->window() : nullptr;
    if (!window)
        return;
    QObject::connect(window, &QWindow::visibleChanged, window, [window](bool visible) {
        if (visible)
            applyPanelGlass(window, kPanelCornerRadius);
    });
}

MacHudPanelFactory::MacHudPanelFactory(QuickHudPanelFactory& inner)
    : inner_(inner)
{
}

std::unique_ptr<HudPanel> MacHudPanelFactory::makeHyperPanel(HyperViewModel& model)
{
    return std::make_unique<MacHudPanel>(inner_.makeHyperPanel(model));
}

std::unique_ptr<HudPanel> MacHudPanelFactory::makeInputModePanel(InputModeViewModel& model)
{
    return std::make_unique<MacHudPanel>(inner_.makeInputModePanel(model));
}

} // namespace kestrune
