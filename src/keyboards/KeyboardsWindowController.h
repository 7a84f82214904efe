#pragma once
// The "Keyboards" window, opened from the panel's ⋯ menu and the tray menu
// where the platform can tell keyboards apart. Main thread; `shared` is the
// composition root's instance.

#include "apps/QuickWindowController.h"
#include "base/SharedInstance.h"

namespace kestrune {

class KeyboardsModel;

class KeyboardsWindowController : public QuickWindowController,
                                  public SharedInstance<KeyboardsWindowController> {
    Q_OBJECT
public:
    // The model outlives the controller.
    KeyboardsWindowController(QQmlEngine& engine, KeyboardsModel& keyboards, QObject* parent = nullptr);

public slots:
    // showWindow(), as a slot: the panel's "Keyboards…" is a QML signal.
    void open() { showWindow(); }
};

} // namespace kestrune
