#pragma once
// The window a HUD is drawn in, and where HUDs go on screen, seen from the
// HUD manager. The manager decides what happens when; the panel only does
// it. A fade's visual interpolation belongs to the panel, but its end is
// the manager's: it schedules the completion on its scheduler and then sets
// the final opacity, so the whole sequence runs on one clock (a virtual one
// in the tests). Main thread.

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <memory>
#include <optional>

#include "base/Scheduler.h"

namespace kestrune {

class HyperViewModel;
class InputModeViewModel;

class HudPanel {
public:
    virtual ~HudPanel() = default;

    // The size the view asks for (the window included, not the screen).
    virtual QSizeF contentSize() const = 0;
    virtual QSizeF size() const = 0;
    virtual void setSize(QSizeF size) = 0;
    // Top-left corner in global coordinates (y grows downward).
    virtual QPointF position() const = 0;
    virtual void setPosition(QPointF topLeft) = 0;

    // The opacity on screen now, mid-fade included.
    virtual double opacity() const = 0;
    // Sets it at once, ending any fade in progress.
    virtual void setOpacity(double value) = 0;
    // Starts moving the opacity towards `to` over `duration`. The panel does
    // not finish the fade by itself: the caller ends it with setOpacity.
    virtual void animateOpacity(double to, Millis duration) = 0;

    // Shows the panel above other windows without taking the keyboard focus.
    virtual void orderFront() = 0;
    virtual void orderOut() = 0;
    virtual bool isShown() const = 0;
};

// Builds the two panels, once each, bound to their view models.
class HudPanelFactory {
public:
    virtual ~HudPanelFactory() = default;
    virtual std::unique_ptr<HudPanel> makeHyperPanel(HyperViewModel& model) = 0;
    virtual std::unique_ptr<HudPanel> makeInputModePanel(InputModeViewModel& model) = 0;
};

struct HudScreenGeometry {
    QRectF geometry;          // the whole screen
    QRectF availableGeometry; // without panels and docks
};

// The screen HUDs appear on: the main one, when there is a screen at all.
class HudScreens {
public:
    virtual ~HudScreens() = default;
    virtual std::optional<HudScreenGeometry> mainScreen() const = 0;
};

} // namespace kestrune
