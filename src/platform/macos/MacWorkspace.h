#pragma once
// Applications on macOS through the shared NSWorkspace: the frontmost one
// and its activation and deactivation notifications, what the bundle at a
// path is, opening applications and URLs, and application icons.
//
// Main thread, like the interface. openApplication's completion comes from
// AppKit on a concurrent queue and is handed to the main queue through the
// scheduler, which must outlive every completion.

#include "base/Scheduler.h"
#include "platform/System.h"
#include "platform/WorkspaceObservers.h"

#include <QImage>
#include <QSize>

namespace kestrune {

class MacWorkspace final : public Workspace {
public:
    inline static const QString kCannotOpen = QStringLiteral("The application could not be opened.");

    explicit MacWorkspace(Scheduler& scheduler);
    ~MacWorkspace() override;
    MacWorkspace(const MacWorkspace&) = delete;
    MacWorkspace& operator=(const MacWorkspace&) = delete;

    std::optional<QString> frontmostBundleId() const override;
    int addActivationObserver(ActivationHandler handler) override;
    int addDeactivationObserver(ActivationHandler handler) override;
    void removeObserver(int token) override;
    std::optional<AppIdentity> applicationAt(const QUrl& url) const override;
    void openApplication(const QUrl& url, std::function<void(const QString& error)> completion) override;
    void openUrl(const QUrl& url) override;

    // Main thread. The icon the Finder shows for the file at `path`, drawn
    // at `size` pixels (the loader of the "appicon" image provider).
    static QImage applicationIcon(const QString& path, const QSize& size);

private:
    Scheduler& scheduler_;
    WorkspaceObservers observers_;
    void* activationObserver_ = nullptr;   // notification centre tokens, retained
    void* deactivationObserver_ = nullptr;
};

} // namespace kestrune
