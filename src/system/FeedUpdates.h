#pragma once
// The Linux update framework: a check the user asks for reads the project's
// release feed and shows the result in the Software Update window, which
// offers the release's web page. There are no automatic checks.
//
// Main thread. The engine must outlive it; it owns the checker and the window.

#include "platform/System.h"
#include "system/FeedUpdateChecker.h"

#include <QQmlEngine>
#include <QUrl>

#include <memory>

class QQuickWindow;

namespace kestrune {

class FeedUpdates final : public UpdateFramework {
public:
    // `feedUrl`: the release feed (empty: updates come with the packages);
    // `currentVersion`: this build's version. The window comes from the
    // Kestrune.System module through `engine`.
    FeedUpdates(QQmlEngine& engine, const QUrl& feedUrl, const QString& currentVersion,
                std::optional<LoopbackHttpForTests> loopbackHttp = std::nullopt);
    ~FeedUpdates() override;

    // Nothing: on Linux the distribution's package manager updates installed
    // software on its own schedule, so Kestrune never checks unasked.
    void startUpdater() override {}
    // Shows the window (made on first use) in front and starts a check.
    void checkForUpdates() override;

    FeedUpdateChecker& checker() { return checker_; }
    // Null until the first check, or when the window could not be made.
    QQuickWindow* window() const;

private:
    QQmlEngine& engine_;
    FeedUpdateChecker checker_;
    std::unique_ptr<QObject> window_;
};

} // namespace kestrune
