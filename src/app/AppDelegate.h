#pragma once
// The application's launch and termination sequences. Main thread.

#include "platform/Platform.h"

#include <QObject>
#include <functional>

namespace kestrune {

class KeyRemapper;
class PermissionManager;

class AppDelegate : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Shows the welcome window; absent until the welcome flow exists.
        std::function<void()> showWelcomeWindow;
        // Creates the update checker off the main thread; may be absent.
        std::function<void()> createUpdater;
    };

    AppDelegate(Platform& platform, KeyRemapper& remapper, PermissionManager& permissions, Hooks hooks = {},
                QObject* parent = nullptr);

    // Once, when the event loop is about to run.
    void applicationDidFinishLaunching();
    // On quit: clears the Caps Lock mapping and waits (bounded) for it, so the
    // keyboard is never left mapped. Runs once however often it is called.
    void applicationWillTerminate();

    bool hasTerminated() const { return terminated_; }

private:
    Platform& platform_;
    KeyRemapper& remapper_;
    PermissionManager& permissions_;
    Hooks hooks_;
    bool terminated_ = false;
};

} // namespace kestrune
