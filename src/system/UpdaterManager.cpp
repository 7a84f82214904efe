#include "system/UpdaterManager.h"

#include <QCoreApplication>
#include <QThread>

namespace kestrune {

UpdaterManager::UpdaterManager(UpdateFramework& updates, Scheduler& mainScheduler, Clock clock)
    : updates_(updates), scheduler_(mainScheduler), clock_(std::move(clock)),
      alive_(std::make_shared<UpdaterManager*>(this))
{
    if (!clock_)
        clock_ = [] { return QDateTime::currentDateTimeUtc(); };
    // Posted first, so any check asked for after construction finds the
    // updater started.
    postWhileAlive([](UpdaterManager& self) { self.startUpdater(); });
    // Signals, QML and destruction happen on the application's thread; an
    // object may push itself there from the thread it was made on.
    if (QCoreApplication* app = QCoreApplication::instance(); app && thread() != app->thread())
        moveToThread(app->thread());
}

UpdaterManager::~UpdaterManager() = default;

void UpdaterManager::postWhileAlive(std::function<void(UpdaterManager&)> work)
{
    std::weak_ptr<UpdaterManager*> alive = alive_;
    scheduler_.post([alive, work = std::move(work)] {
        // The manager is destroyed on the main thread, where this runs too,
        // so it cannot go while the work is under way.
        if (const auto self = alive.lock())
            work(**self);
    });
}

void UpdaterManager::checkForUpdates()
{
    postWhileAlive([](UpdaterManager& self) { self.runCheck(); });
}

void UpdaterManager::startUpdater()
{
    updates_.startUpdater();
    started_ = true;
}

void UpdaterManager::runCheck()
{
    if (started_)
        updates_.checkForUpdates();
    lastCheckDate_ = clock_();
    emit lastCheckDateChanged();
}

} // namespace kestrune
