#pragma once
// The HUD panels on screen: a borderless, transparent Qt Quick window per
// HUD that floats above everything, lets clicks through and never takes the
// keyboard focus, with the Kestrune.Hud view inside. Main thread; needs a
// QGuiApplication.

#include "hud/HudPanel.h"

#include <QPointer>
#include <QSize>
#include <QUrl>
#include <memory>

class QPropertyAnimation;
class QQmlEngine;
class QQuickItem;
class QQuickWindow;

namespace kestrune {

class QuickHudPanel final : public HudPanel {
public:
    // Loads `view` with `viewModel` as its viewModel property. The window
    // is `margin` larger than the view on every side, room for a shadow.
    QuickHudPanel(std::shared_ptr<QQmlEngine> engine, const QUrl& view, QObject* viewModel, QSize initialSize,
                  int margin);
    ~QuickHudPanel() override;

    QQuickWindow* window() const { return window_.get(); }
    // The view's root item; null when it failed to load (the reason is logged).
    QQuickItem* content() const { return content_.get(); }

    QSizeF contentSize() const override;
    QSizeF size() const override;
    void setSize(QSizeF size) override;
    QPointF position() const override;
    void setPosition(QPointF topLeft) override;
    double opacity() const override;
    void setOpacity(double value) override;
    void animateOpacity(double to, Millis duration) override;
    void orderFront() override;
    void orderOut() override;
    bool isShown() const override;

private:
    void centreContent();

    // Destroyed in reverse: the view, then its window, then (if last) the engine.
    std::shared_ptr<QQmlEngine> engine_;
    std::unique_ptr<QQuickWindow> window_;
    std::unique_ptr<QQuickItem> content_;
    QPointer<QPropertyAnimation> fade_; // owned by the window
    int margin_;
};

// Builds the panels from the Kestrune.Hud views, sharing one QML engine.
class QuickHudPanelFactory final : public HudPanelFactory {
public:
    // With an engine of its own, made on first use.
    QuickHudPanelFactory();
    // With the application's engine, which outlives the factory and panels.
    explicit QuickHudPanelFactory(QQmlEngine& shared);
    ~QuickHudPanelFactory() override;

    std::unique_ptr<HudPanel> makeHyperPanel(HyperViewModel& model) override;
    std::unique_ptr<HudPanel> makeInputModePanel(InputModeViewModel& model) override;

private:
    std::shared_ptr<QQmlEngine> engine();

    std::shared_ptr<QQmlEngine> engine_;
};

// The primary screen, as the application sees it now.
class PrimaryScreen final : public HudScreens {
public:
    std::optional<HudScreenGeometry> mainScreen() const override;
};

} // namespace kestrune
