#pragma once
// The welcome window of a first launch: "Welcome to Kestrune", kept above
// other windows, showing WelcomeView. "Get Started" records
// "hasSeenOnboarding", closes the window and, 0.3 s later, points at the
// tray icon. Closing the window otherwise records nothing, so the guide
// comes back at the next launch. Main thread.

#include "apps/QuickWindowController.h"
#include "base/Scheduler.h"
#include "base/UserDefaults.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace kestrune {

class WelcomeWindowController : public QObject {
    Q_OBJECT
public:
    inline static const QString kHasSeenOnboardingKey = QStringLiteral("hasSeenOnboarding");
    static constexpr Millis kPointerDelay{300};

    // `inputAccess` (may be null) is handed to the view; `showPointer` runs
    // after "Get Started". The engine, defaults and scheduler outlive this.
    WelcomeWindowController(QQmlEngine& engine, UserDefaults& defaults, Scheduler& scheduler, QObject* inputAccess,
                            std::function<void()> showPointer, QObject* parent = nullptr);

    void showWelcomeWindow();

    // Whether the window is shown; setting false closes it, true does nothing.
    bool isPresented() const { return window_.isVisible(); }
    void setPresented(bool presented);

    QuickWindowController& window() { return window_; }

private slots:
    void getStarted();

private:
    UserDefaults& defaults_;
    Scheduler& scheduler_;
    std::function<void()> showPointer_;
    QuickWindowController window_;
    WorkItemPtr pointerWork_;
};

} // namespace kestrune
