#pragma once
// The "App Launcher Settings" window, opened by the App Launcher card's
// "Settings...". Main thread; `shared` is the composition root's instance.

#include "apps/QuickWindowController.h"
#include "base/SharedInstance.h"

namespace kestrune {

class AppLauncherWindowController : public QuickWindowController,
                                    public SharedInstance<AppLauncherWindowController> {
    Q_OBJECT
public:
    explicit AppLauncherWindowController(QQmlEngine& engine, QObject* parent = nullptr);
};

} // namespace kestrune
