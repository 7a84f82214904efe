#pragma once
// The "App-Specific Exclusions" window, opened by the exclusions card's
// "Settings...". Main thread; `shared` is the composition root's instance.

#include "apps/QuickWindowController.h"
#include "base/SharedInstance.h"

namespace kestrune {

class AppExclusionWindowController : public QuickWindowController,
                                     public SharedInstance<AppExclusionWindowController> {
    Q_OBJECT
public:
    explicit AppExclusionWindowController(QQmlEngine& engine, QObject* parent = nullptr);
};

} // namespace kestrune
