#pragma once
// Starts the platform's updater and runs the checks the user asks for,
// always on the main queue, and publishes when the last check was asked for.
//
// Threads: the constructor may run on any thread (the application builds
// the manager off the main thread). It only sets fields and posts the
// updater's start to the main queue; it then hands the object to the
// application's thread (moveToThread), so once constructed the manager
// belongs to the main thread whichever thread built it: it is published,
// used from QML and destroyed there. checkForUpdates may be called from any
// thread. Everything else, and every field after construction, is main
// thread only. Work already posted does nothing once the manager is gone.
//
// The update framework and the scheduler must outlive the manager.

#include "base/QmlSingleton.h"
#include "base/Scheduler.h"
#include "base/SharedInstance.h"
#include "platform/System.h"

#include <QDateTime>
#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <memory>

namespace kestrune {

class UpdaterManager : public QObject, public SharedInstance<UpdaterManager> {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QDateTime lastCheckDate READ lastCheckDate NOTIFY lastCheckDateChanged)

public:
    using Clock = std::function<QDateTime()>;

    // QML reaches the process-wide instance only.
    static UpdaterManager* create(QQmlEngine*, QJSEngine* engine) { return qmlSharedInstance<UpdaterManager>(engine); }

    // Any thread; no parent, since the object moves to the application's
    // thread. `clock` stamps the checks (UTC now when empty).
    UpdaterManager(UpdateFramework& updates, Scheduler& mainScheduler, Clock clock = {});
    ~UpdaterManager() override;

    // Invalid until a check has run.
    QDateTime lastCheckDate() const { return lastCheckDate_; }
    // True once the updater has been started on the main queue.
    bool hasStarted() const { return started_; }

    // Any thread; returns at once. On the main queue: the framework's check
    // (when the updater has started), then the check's time is recorded
    // either way.
    Q_INVOKABLE void checkForUpdates();

signals:
    void lastCheckDateChanged();

private:
    // Posts `work` to run on the main queue only while this manager exists.
    void postWhileAlive(std::function<void(UpdaterManager&)> work);
    void startUpdater();
    void runCheck();

    UpdateFramework& updates_;
    Scheduler& scheduler_;
    Clock clock_;
    // Posted work holds it weakly: expired means the manager is gone.
    std::shared_ptr<UpdaterManager*> alive_;
    bool started_ = false;
    QDateTime lastCheckDate_;
};

} // namespace kestrune
