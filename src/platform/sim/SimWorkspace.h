#pragma once
// The sim backend's workspace: a fixed table of known applications, a
// scripted frontmost application, and recorded open requests.
//
// Main thread only, like the interface. Completions of openApplication run
// later through the Scheduler given at construction, which must outlive this.

#include "base/Scheduler.h"
#include "platform/System.h"
#include "platform/WorkspaceObservers.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace kestrune {

class SimWorkspace final : public Workspace {
public:
    inline static const QString kNotFoundError = QStringLiteral("The application could not be found.");

    // Starts with a table of common applications (Safari, Terminal, TextEdit,
    // Xcode, System Settings, Kestrune, Visual Studio Code, Slack) and
    // "/Applications/Unsigned.app", an application without identifier.
    // Nothing is frontmost.
    explicit SimWorkspace(Scheduler& scheduler);

    // Adds or replaces an application at `path` (a plain absolute path).
    void addApplication(const QString& path, AppIdentity identity);

    // Makes another application frontmost: deactivation observers get the
    // previous identifier, then activation observers the new one, each in
    // order of registration, before this returns.
    void setFrontmost(std::optional<QString> bundleId);

    // The path of the first application in the table with this identifier.
    std::optional<QString> pathForBundleId(const QString& bundleId) const;

    // Every openApplication request, as plain paths, in order.
    QStringList openedApplications;
    // Called with the path of each openApplication request (for transcripts).
    std::function<void(const QString& path)> onLaunch;
    // Every openUrl request, in order.
    QList<QUrl> openedUrls;

    // The plain path an application URL names: "file:" URLs and absolute
    // paths alike, without trailing slash. Empty when `url` names no local path.
    static QString normalizedPath(const QUrl& url);

    std::optional<QString> frontmostBundleId() const override;
    int addActivationObserver(ActivationHandler handler) override;
    int addDeactivationObserver(ActivationHandler handler) override;
    void removeObserver(int token) override;
    std::optional<AppIdentity> applicationAt(const QUrl& url) const override;
    void openApplication(const QUrl& url, std::function<void(const QString& error)> completion) override;
    void openUrl(const QUrl& url) override;

private:

    Scheduler& scheduler_;
    std::map<QString, AppIdentity> applications_;
    std::optional<QString> frontmost_;
    WorkspaceObservers observers_;
};

} // namespace kestrune
