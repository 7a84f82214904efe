// The updater's start and the user's checks on the main queue: their order,
// the recorded check time, creation off the main thread, and work posted for
// a manager that is gone.

#include "base/VirtualScheduler.h"
#include "platform/sim/SimServices.h"
#include "system/UpdaterManager.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>

#include <memory>
#include <thread>

namespace kestrune {
namespace {

const QDateTime kNoon(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC);

class UpdaterManagerTest : public ::testing::Test {
protected:
    std::unique_ptr<UpdaterManager> make() { return std::make_unique<UpdaterManager>(updates_, scheduler_, [] { return kNoon; }); }

    VirtualScheduler scheduler_;
    SimUpdates updates_;
};

TEST_F(UpdaterManagerTest, TheStartRunsOnTheMainQueueBeforeAnyLaterCheck)
{
    auto manager = make();
    EXPECT_FALSE(manager->hasStarted()) << "nothing runs inside the constructor";

    // Asked for before the main queue ran: still after the start.
    manager->checkForUpdates();
    EXPECT_FALSE(manager->lastCheckDate().isValid());
    QSignalSpy changes(manager.get(), &UpdaterManager::lastCheckDateChanged);
    scheduler_.runDue();
    EXPECT_TRUE(manager->hasStarted());
    EXPECT_EQ(updates_.startCount(), 1);
    EXPECT_EQ(updates_.checkCount(), 1);
    EXPECT_EQ(manager->lastCheckDate(), kNoon);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(UpdaterManagerTest, AManagerBuiltOffTheMainThreadBelongsToIt)
{
    std::unique_ptr<UpdaterManager> manager;
    std::thread builder([&] {
        manager = make();
        manager->checkForUpdates();
    });
    builder.join();
    EXPECT_EQ(manager->thread(), QCoreApplication::instance()->thread());
    scheduler_.runDue();
    EXPECT_EQ(updates_.startCount(), 1);
    EXPECT_EQ(updates_.checkCount(), 1);
}

TEST_F(UpdaterManagerTest, WorkPostedForAManagerThatIsGoneDoesNothing)
{
    auto manager = make();
    manager->checkForUpdates();
    manager.reset();
    scheduler_.runDue();
    EXPECT_EQ(updates_.startCount(), 0);
    EXPECT_EQ(updates_.checkCount(), 0);
}

} // namespace
} // namespace kestrune
