#pragma once
// The Linux workspace: the frontmost application from the X11 active window,
// applications as .desktop files (GIO), launching them.
//
// An application's identifier is its desktop-file id without ".desktop"
// (see DesktopApplications). Where the active window cannot be followed (no
// X display, no window manager publishing _NET_ACTIVE_WINDOW, or a Wayland
// session, where X11 sees only its own clients), frontmostBundleId() is
// nullopt and no activation notices come, so whatever depends on them keeps
// its state; canTrackActiveWindow() tells the user interface so.
//
// Main thread only. The scheduler, which runs launch completions, must
// outlive the workspace.

#include "base/Scheduler.h"
#include "platform/System.h"
#include "platform/WorkspaceObservers.h"
#include "platform/linux/DesktopApplications.h"

#include <QByteArray>
#include <QObject>

#include <memory>
#include <optional>
#include <vector>

namespace kestrune {

class X11ActiveWindow;

class X11Workspace final : public QObject, public Workspace {
    Q_OBJECT
    Q_PROPERTY(bool canTrackActiveWindow READ canTrackActiveWindow NOTIFY canTrackActiveWindowChanged)

public:
    inline static const QString kNotFoundError = DesktopApplications::kNotFoundError;

    // Follows the active window on `display` (empty: $DISPLAY), unless the
    // session is a Wayland one (XDG_SESSION_TYPE=wayland or WAYLAND_DISPLAY set).
    explicit X11Workspace(Scheduler& scheduler, const QByteArray& display = {}, QObject* parent = nullptr);
    ~X11Workspace() override;

    bool canTrackActiveWindow() const { return tracking_; }
    bool canTrackFrontmostApplication() const override { return tracking_; }
    static bool isWaylandSession();

    std::optional<QString> frontmostBundleId() const override { return frontmost_; }
    // Notices come when another application becomes frontmost (a window of
    // the same one does not count), deactivation first, each in order of
    // registration.
    int addActivationObserver(ActivationHandler handler) override;
    int addDeactivationObserver(ActivationHandler handler) override;
    void removeObserver(int token) override;
    // A .desktop file (file URL or path) or a desktop-file id; nullopt unless
    // it is a launchable application.
    std::optional<AppIdentity> applicationAt(const QUrl& url) const override;
    // Launches through GIO; the completion runs later with the error text.
    void openApplication(const QUrl& url, std::function<void(const QString& error)> completion) override;
    void openUrl(const QUrl& url) override;

signals:
    void canTrackActiveWindowChanged();
    // Applications were installed, removed or changed.
    void applicationsChanged();

private:
    void update();

    Scheduler& scheduler_;
    DesktopApplications applications_;
    std::unique_ptr<X11ActiveWindow> activeWindow_;
    bool tracking_ = false;
    std::optional<QString> frontmost_;
    WorkspaceObservers observers_;
};

} // namespace kestrune
