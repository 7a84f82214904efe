#pragma once
// The applications in which the remapper stands aside, the feature switch,
// and whether the frontmost application is one of them right now.
//
// Threads: a main-thread object, except isCurrentAppExcluded(), which any
// thread (in practice the tap thread) may call. The defaults, workspace and
// scheduler must outlive the manager, and the tap thread must be stopped
// before the manager is destroyed.

#include "base/Scheduler.h"
#include "base/QmlSingleton.h"
#include "base/SharedInstance.h"
#include "base/UserDefaults.h"
#include "exclusions/ExcludedApp.h"
#include "platform/System.h"
#include "remapper/EngineQueries.h"

#include <QList>
#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <QPointer>
#include <QSet>
#include <QUrl>
#include <QUuid>
#include <atomic>
#include <optional>
#include <utility>

namespace kestrune {

class AppExclusionManager final : public QObject, public ExclusionVerdict, public SharedInstance<AppExclusionManager> {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setEnabled NOTIFY isEnabledChanged)
    Q_PROPERTY(QList<ExcludedApp> excludedApps READ excludedApps WRITE setExcludedApps NOTIFY excludedAppsChanged)
    Q_PROPERTY(bool isCurrentAppExcluded READ isCurrentAppExcluded NOTIFY isCurrentAppExcludedChanged)
    // The application removeExcludedApp took last, while it can be put
    // back; empty otherwise.
    Q_PROPERTY(QString undoableRemoval READ undoableRemoval NOTIFY undoableRemovalChanged)
    // False where the session cannot tell which application is in front
    // (most Wayland compositors): the list can be edited, but exclusions
    // cannot follow the active window, and the settings say so.
    Q_PROPERTY(bool canFollowFrontmostApplication READ canFollowFrontmostApplication NOTIFY frontmostTrackingChanged)
    // Why not, as a FrontmostBlocker value: it says what would help.
    Q_PROPERTY(int frontmostBlocker READ frontmostBlocker NOTIFY frontmostTrackingChanged)

public:
    // QML reaches the process-wide instance only.
    static AppExclusionManager* create(QQmlEngine*, QJSEngine* engine) { return qmlSharedInstance<AppExclusionManager>(engine); }

    inline static const QString kEnabledKey = QStringLiteral("isAppExclusionEnabled");
    inline static const QString kExclusionsKey = QStringLiteral("ExcludedApps");

    // Reads the switch and the stored list, starts following activations and
    // evaluates the frontmost application. Main thread.
    AppExclusionManager(UserDefaults& defaults, Workspace& workspace, Scheduler& scheduler,
                        QObject* parent = nullptr);
    ~AppExclusionManager() override;

    bool isEnabled() const { return enabled_; }
    // Stores the switch at once and re-evaluates the frontmost application.
    void setEnabled(bool enabled);

    const QList<ExcludedApp>& excludedApps() const { return excludedApps_; }
    // Every assignment is saved, published and re-evaluated, even an unchanged list.
    void setExcludedApps(const QList<ExcludedApp>& apps);

    // Adds the application at `url` ("file:" URL or absolute path). Does
    // nothing for something that is not an application, an application
    // without identifier, or one whose identifier is already listed.
    Q_INVOKABLE void addExcludedApp(const QUrl& url);
    // Removes every entry with that id (the list is saved either way).
    Q_INVOKABLE void removeExcludedApp(const QUuid& id);
    // Puts the last removed application back where it was, until the list
    // changes otherwise or forgetRemoval is called.
    Q_INVOKABLE void undoRemoval();
    Q_INVOKABLE void forgetRemoval();
    QString undoableRemoval() const { return removed_ ? removed_->second.name : QString(); }

    // Any thread, lock-free. True while the switch is on and the frontmost
    // application is excluded. Its change signal arrives later, on the main
    // thread, after the value has changed.
    bool isCurrentAppExcluded() const override { return currentAppExcluded_.load(std::memory_order_acquire); }
    bool canFollowFrontmostApplication() const { return workspace_.canTrackFrontmostApplication(); }
    int frontmostBlocker() const { return static_cast<int>(workspace_.frontmostBlocker()); }
    // Clears the blocker where Kestrune can (turns its GNOME Shell extension
    // on); frontmostTrackingChanged follows when that worked.
    Q_INVOKABLE void removeFrontmostBlocker() { workspace_.removeFrontmostBlocker(); }

signals:
    void isEnabledChanged();
    void excludedAppsChanged();
    void undoableRemovalChanged();
    void isCurrentAppExcludedChanged();
    void frontmostTrackingChanged();

private:
    void loadExcludedApps();
    void saveExcludedApps();
    void updateCurrentAppExclusion();
    void handleAppActivated(const std::optional<QString>& bundleId);
    void setCurrentAppExcluded(bool excluded);

    UserDefaults& defaults_;
    Workspace& workspace_;
    Scheduler& scheduler_;
    // Stored bytes that could not be decoded, until the list is next saved.
    std::optional<QByteArray> undecodable_;

    bool enabled_ = true;
    QList<ExcludedApp> excludedApps_;
    // The last removed application and where it stood.
    std::optional<std::pair<qsizetype, ExcludedApp>> removed_;
    QSet<QString> excludedBundleIds_; // mirrors excludedApps_; main thread
    int activationToken_ = 0;

    // The one value shared with the tap thread. Only the main thread writes
    // it, with a compare-and-store, so an atomic does the lock's job: the
    // reader pays one load, and a change is announced exactly once.
    std::atomic<bool> currentAppExcluded_{false};
};

} // namespace kestrune
