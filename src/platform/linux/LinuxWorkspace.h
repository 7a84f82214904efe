#pragma once
// The Linux workspace: the frontmost application from whichever active-window
// source suits the session (X11, GNOME Shell, KWin, sway), applications as
// .desktop files (GIO), launching them.
//
// An application's identifier is its desktop-file id without ".desktop"
// (see DesktopApplications). Where the active window cannot be followed,
// frontmostBundleId() is nullopt and no activation notices come, so whatever
// depends on them keeps its state; canTrackActiveWindow() and
// frontmostBlocker() tell the user interface so, and why.
//
// Main thread only. The scheduler, which runs launch completions, must
// outlive the workspace.

#include "base/Scheduler.h"
#include "platform/System.h"
#include "platform/WorkspaceObservers.h"
#include "platform/linux/ActiveWindowSource.h"
#include "platform/linux/DesktopApplications.h"

#include <QObject>

#include <memory>
#include <optional>

namespace kestrune {

class LinuxWorkspace : public QObject, public Workspace {
    Q_OBJECT
    Q_PROPERTY(bool canTrackActiveWindow READ canTrackActiveWindow NOTIFY canTrackActiveWindowChanged)

public:
    inline static const QString kNotFoundError = DesktopApplications::kNotFoundError;

    // Follows `source`; without one nothing is followed.
    LinuxWorkspace(Scheduler& scheduler, std::unique_ptr<ActiveWindowSource> source, QObject* parent = nullptr);
    ~LinuxWorkspace() override;

    bool canTrackActiveWindow() const { return tracking_; }
    bool canTrackFrontmostApplication() const override { return tracking_; }
    FrontmostBlocker frontmostBlocker() const override;
    void removeFrontmostBlocker() override;
    void setTrackingChangedHandler(std::function<void()> handler) override { trackingChanged_ = std::move(handler); }

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
    std::unique_ptr<ActiveWindowSource> source_;
    bool tracking_ = false;
    FrontmostBlocker blocker_ = FrontmostBlocker::DesktopUnsupported;
    std::optional<QString> frontmost_;
    WorkspaceObservers observers_;
    std::function<void()> trackingChanged_;
};

} // namespace kestrune
