#pragma once
// Operating-system services the models depend on. Each backend (sim, linux,
// macos) implements them; nothing above this layer names a backend.

#include "base/Scheduler.h"

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace kestrune {

// Runs shell command lines in the background, one after another, so that the
// command issued last is the one in force afterwards.
class ShellRunner {
public:
    virtual ~ShellRunner() = default;
    // Main thread. Returns at once; output and exit status are ignored.
    virtual void run(const QString& commandLine) = 0;
    // Waits up to `timeout` for every issued command to finish. True when all did.
    virtual bool waitForIdle(Millis timeout) = 0;
};

// Input devices arriving (keyboards plugged in, found after wake).
class DeviceMonitor {
public:
    virtual ~DeviceMonitor() = default;
    // Main thread. Starts watching; `onArrival` runs on the main thread once
    // per batch of new devices. Returns how many devices were already present
    // (the first batch, which does not call onArrival), or -1 when watching
    // could not be set up.
    virtual int start(std::function<void()> onArrival) = 0;
    // Main thread. Stops watching; idempotent.
    virtual void stop() = 0;
};

// The machine waking from sleep.
class WakeNotifier {
public:
    virtual ~WakeNotifier() = default;
    // Main thread. The handler runs on the main thread after each wake; an
    // empty function removes it.
    virtual void setWakeHandler(std::function<void()> handler) = 0;
};

// The login session this process runs in. Keys are read only while it is
// the active session of its seat: after a switch to another user's session
// or a text console, what is typed there belongs to someone else.
class SessionMonitor {
public:
    virtual ~SessionMonitor() = default;
    // Main thread. Whether the session is active; true while unknown.
    virtual bool isActive() const = 0;
    // Main thread. The handler runs on the main thread on each change of
    // isActive(); an empty function removes it.
    virtual void setActiveHandler(std::function<void(bool active)> handler) = 0;
};

// Whether the process may observe and rewrite keyboard events (Accessibility
// trust on macOS, input access on Linux).
class AccessibilityTrust {
public:
    virtual ~AccessibilityTrust() = default;
    // Any thread; silent.
    virtual bool isTrusted() const = 0;
    // Main thread. Asks the system to prompt the user where it can; returns
    // the state as read.
    virtual bool requestTrust() = 0;
    // Main thread. Shows the place where the user grants it.
    virtual void openTrustSettings() = 0;
};

// The real Caps Lock lock state (light and upper-case typing).
class CapsLockState {
public:
    virtual ~CapsLockState() = default;
    // Any thread. nullopt when the state cannot be read.
    virtual std::optional<bool> lockState() = 0;
    // Any thread. False when the state could not be set.
    virtual bool setLockState(bool on) = 0;
};

struct AppIdentity {
    std::optional<QString> bundleId; // absent: the application has no identifier
    QString name;                    // display name
    QString iconName;                // icon theme name or file; may be empty
};

// Why the frontmost application cannot be followed, which says what would
// make it work.
enum class FrontmostBlocker {
    None = 0,                  // it is followed
    DesktopUnsupported = 1,    // this desktop offers no way
    ShellExtensionOff = 2,     // GNOME: Kestrune's Shell extension is installed but off
    ShellExtensionMissing = 3, // GNOME: the extension is not installed (or failed to load)
    KWinScriptFailed = 4,      // KDE Plasma: KWin did not run Kestrune's script
    ShellUserExtensionsOff = 5, // GNOME: the extension is off, and so are user extensions as a whole
};

// Applications: which one is frontmost, opening them, telling what one is.
class Workspace {
public:
    virtual ~Workspace() = default;
    using ActivationHandler = std::function<void(const std::optional<QString>& bundleId)>;

    // Main thread. The frontmost application's identifier; nullopt when it
    // cannot be identified.
    virtual std::optional<QString> frontmostBundleId() const = 0;
    // Main thread. Handlers run on the main thread for each activation /
    // deactivation, with the application's identifier when it has one.
    // Returns a token for removeObserver.
    virtual int addActivationObserver(ActivationHandler handler) = 0;
    virtual int addDeactivationObserver(ActivationHandler handler) = 0;
    virtual void removeObserver(int token) = 0;
    // Main thread. nullopt when `url` is not an application.
    virtual std::optional<AppIdentity> applicationAt(const QUrl& url) const = 0;
    // Main thread. Opens (or brings to front) the application; `completion`
    // runs on the main thread later with an empty string or the error text.
    virtual void openApplication(const QUrl& url, std::function<void(const QString& error)> completion) = 0;
    // Main thread. Opens a URL (a settings page, a web page).
    virtual void openUrl(const QUrl& url) = 0;
    // Main thread. False where the session gives no way to know the
    // frontmost application (most Wayland compositors): exclusions then
    // cannot follow it.
    virtual bool canTrackFrontmostApplication() const { return true; }
    // Main thread. What stands in the way while canTrackFrontmostApplication()
    // is false.
    virtual FrontmostBlocker frontmostBlocker() const
    {
        return canTrackFrontmostApplication() ? FrontmostBlocker::None : FrontmostBlocker::DesktopUnsupported;
    }
    // Main thread. Clears the blocker where Kestrune can do it itself (turns
    // its GNOME Shell extension on); the change is announced later.
    virtual void removeFrontmostBlocker() {}
    // Main thread. `handler` runs on the main thread after
    // canTrackFrontmostApplication() or frontmostBlocker() changed; an empty
    // function removes it.
    virtual void setTrackingChangedHandler(std::function<void()> handler) { (void)handler; }
};

enum class LoginItemStatus { NotRegistered = 0, Enabled = 1, RequiresApproval = 2, NotFound = 3 };

// The application's login item (autostart entry).
class LoginItem {
public:
    virtual ~LoginItem() = default;
    virtual LoginItemStatus status() const = 0;
    // Main thread. False with `error` set when the system refused.
    virtual bool registerItem(QString* error) = 0;
    virtual bool unregisterItem(QString* error) = 0;
};

// The platform's update framework.
class UpdateFramework {
public:
    virtual ~UpdateFramework() = default;
    // Main thread. Starts the updater with its standard behaviour.
    virtual void startUpdater() = 0;
    // Main thread. A check the user asked for, with the framework's own UI.
    virtual void checkForUpdates() = 0;
};

} // namespace kestrune
