#include "exclusions/AppExclusionManager.h"
#include "exclusions/ExcludedAppCodec.h"
#include "base/Uuid.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <utility>

namespace kestrune {

namespace {

// The local path a "file:" URL or a plain absolute path names, without trailing slash.
QString localPath(const QUrl& url)
{
    QString path = url.isLocalFile() ? url.toLocalFile() : url.path(QUrl::FullyDecoded);
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// Last path component without its extension: "/Applications/Safari.app" → "Safari".
QString applicationName(const QString& path)
{
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return name;
}

} // namespace

AppExclusionManager::AppExclusionManager(UserDefaults& defaults, Workspace& workspace, Scheduler& scheduler,
                                         QObject* parent)
    : QObject(parent)
    , defaults_(defaults)
    , workspace_(workspace)
    , scheduler_(scheduler)
{
    enabled_ = defaults_.boolValue(kEnabledKey).value_or(true);
    loadExcludedApps();
    activationToken_ = workspace_.addActivationObserver([self = QPointer(this)](const std::optional<QString>& id) {
        if (self)
            self->handleAppActivated(id);
    });
    workspace_.setTrackingChangedHandler([self = QPointer(this)] {
        if (!self)
            return;
        // Now followed: the application in front counts from here on.
        self->updateCurrentAppExclusion();
        emit self->frontmostTrackingChanged();
    });
    updateCurrentAppExclusion();
}

AppExclusionManager::~AppExclusionManager()
{
    workspace_.setTrackingChangedHandler(nullptr);
    workspace_.removeObserver(activationToken_);
}

void AppExclusionManager::setEnabled(bool enabled)
{
    enabled_ = enabled;
    defaults_.setValue(kEnabledKey, enabled);
    updateCurrentAppExclusion();
    emit isEnabledChanged();
}

void AppExclusionManager::setExcludedApps(const QList<ExcludedApp>& apps)
{
    forgetRemoval();
    excludedApps_ = apps;
    saveExcludedApps();
    excludedBundleIds_.clear();
    for (const ExcludedApp& app : excludedApps_)
        excludedBundleIds_.insert(app.bundleID);
    updateCurrentAppExclusion();
    emit excludedAppsChanged();
}

void AppExclusionManager::addExcludedApp(const QUrl& url)
{
    const std::optional<AppIdentity> identity = workspace_.applicationAt(url);
    if (!identity || !identity->bundleId || excludedBundleIds_.contains(*identity->bundleId))
        return;
    const QString path = localPath(url);
    QList<ExcludedApp> apps = excludedApps_;
    apps.append(ExcludedApp{QUuid::createUuid(), *identity->bundleId, applicationName(path), path});
    setExcludedApps(apps);
}

void AppExclusionManager::removeExcludedApp(const QUuid& id)
{
    QList<ExcludedApp> apps = excludedApps_;
    std::optional<std::pair<qsizetype, ExcludedApp>> removed;
    for (qsizetype i = 0; i < apps.size(); ++i) {
        if (apps[i].id == id) {
            removed = std::pair{i, apps[i]};
            break;
        }
    }
    apps.removeIf([&](const ExcludedApp& app) { return app.id == id; });
    setExcludedApps(apps);
    removed_ = std::move(removed);
    emit undoableRemovalChanged();
}

void AppExclusionManager::undoRemoval()
{
    if (!removed_)
        return;
    auto [index, app] = *std::exchange(removed_, std::nullopt);
    QList<ExcludedApp> apps = excludedApps_;
    // Added again meanwhile: it stays where it is now.
    if (!excludedBundleIds_.contains(app.bundleID))
        apps.insert(std::min(index, apps.size()), app);
    setExcludedApps(apps);
    emit undoableRemovalChanged();
}

void AppExclusionManager::forgetRemoval()
{
    if (std::exchange(removed_, std::nullopt))
        emit undoableRemovalChanged();
}

void AppExclusionManager::loadExcludedApps()
{
    const std::optional<QByteArray> data = defaults_.dataValue(kExclusionsKey);
    if (!data)
        return;
    // Unreadable data is ignored and stays stored until the list next
    // changes, and is kept aside then.
    if (std::optional<QList<ExcludedApp>> apps = decodeExcludedApps(*data)) {
        setExcludedApps(*apps);
    } else {
        undecodable_ = *data;
        defaults_.noticeUndecodable(kExclusionsKey);
    }
}

void AppExclusionManager::saveExcludedApps()
{
    if (undecodable_)
        defaults_.setValue(UserDefaults::keptAsideKey(kExclusionsKey), *std::exchange(undecodable_, std::nullopt));
    defaults_.setValue(kExclusionsKey, encodeExcludedApps(excludedApps_));
}

void AppExclusionManager::updateCurrentAppExclusion()
{
    // An application that cannot be identified leaves the flag as it was.
    if (const std::optional<QString> id = workspace_.frontmostBundleId())
        setCurrentAppExcluded(enabled_ && excludedBundleIds_.contains(*id));
}

void AppExclusionManager::handleAppActivated(const std::optional<QString>& bundleId)
{
    if (bundleId)
        setCurrentAppExcluded(enabled_ && excludedBundleIds_.contains(*bundleId));
}

void AppExclusionManager::setCurrentAppExcluded(bool excluded)
{
    if (currentAppExcluded_.exchange(excluded, std::memory_order_acq_rel) == excluded)
        return;
    scheduler_.post([self = QPointer(this)] {
        if (self)
            emit self->isCurrentAppExcludedChanged();
    });
}

} // namespace kestrune
