#include "exclusions/AppExclusionManager.h"

#include "base/FileDefaults.h"
#include "base/VirtualScheduler.h"
#include "platform/sim/SimWorkspace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kestrune {
namespace {

const QString kSafari = QStringLiteral("com.apple.Safari");
const QString kTerminal = QStringLiteral("com.apple.Terminal");
const QString kXcode = QStringLiteral("com.apple.dt.Xcode");

QUrl app(const char* path) { return QUrl::fromLocalFile(QString::fromUtf8(path)); }

class ExclusionTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<FileDefaults> defaults = std::make_unique<FileDefaults>(dir.path());
    VirtualScheduler scheduler;
    SimWorkspace workspace{scheduler};
    std::unique_ptr<AppExclusionManager> manager;
    int flagNotices = 0;

    AppExclusionManager& make()
    {
        manager = std::make_unique<AppExclusionManager>(*defaults, workspace, scheduler);
        flagNotices = 0;
        QObject::connect(manager.get(), &AppExclusionManager::isCurrentAppExcludedChanged, [this] { ++flagNotices; });
        return *manager;
    }
    // What the next launch reads: a new store over the same folder.
    void relaunch()
    {
        manager.reset();
        defaults = std::make_unique<FileDefaults>(dir.path());
    }
    void storeList(const QByteArray& json) { defaults->setValue(AppExclusionManager::kExclusionsKey, json); }
    std::optional<QByteArray> storedList() const { return defaults->dataValue(AppExclusionManager::kExclusionsKey); }
    bool excluded() const { return manager->isCurrentAppExcluded(); }
};

TEST_F(ExclusionTest, StartsOnAndEmptyAndKeepsTheSwitch)
{
    defaults->setValue(AppExclusionManager::kEnabledKey, QByteArray("0")); // not a Boolean
    workspace.setFrontmost(kSafari);
    EXPECT_TRUE(make().isEnabled());
    EXPECT_TRUE(manager->excludedApps().isEmpty());
    EXPECT_FALSE(excluded());
    EXPECT_FALSE(storedList());

    manager->setEnabled(false);
    relaunch();
    EXPECT_FALSE(make().isEnabled());
}

TEST_F(ExclusionTest, FlagFollowsListSwitchAndActivationsAndIsAnnouncedLater)
{
    workspace.setFrontmost(kSafari);
    auto& m = make();
    m.addExcludedApp(app("/Applications/Safari.app"));
    EXPECT_TRUE(excluded()) << "adding the frontmost application takes effect at once";
    EXPECT_EQ(flagNotices, 0) << "announced on the main queue, later";
    m.setEnabled(false);
    EXPECT_FALSE(excluded());
    m.setEnabled(true);
    EXPECT_TRUE(excluded());
    m.addExcludedApp(app("/Applications/Xcode.app")); // flag unchanged: no announcement
    scheduler.runDue();
    EXPECT_EQ(flagNotices, 3);

    workspace.setFrontmost(kTerminal);
    EXPECT_FALSE(excluded());
    workspace.setFrontmost(kXcode);
    EXPECT_TRUE(excluded());
    workspace.setFrontmost(std::nullopt);
    EXPECT_TRUE(excluded()) << "an application without identifier leaves the flag";
    m.removeExcludedApp(m.excludedApps()[1].id);
    EXPECT_TRUE(excluded()) << "nor is the flag re-evaluated for it when the list changes";

    workspace.setFrontmost(kSafari);
    m.removeExcludedApp(m.excludedApps()[0].id);
    EXPECT_FALSE(excluded()) << "removing the frontmost application's entry";
    EXPECT_TRUE(m.excludedApps().isEmpty());
}

TEST_F(ExclusionTest, OnlyNewIdentifiedApplicationsAreAdded)
{
    auto& m = make();
    m.addExcludedApp(app("/Applications/Safari.app/"));
    ASSERT_EQ(m.excludedApps().size(), 1);
    EXPECT_EQ(m.excludedApps()[0].name, QStringLiteral("Safari"));
    EXPECT_EQ(m.excludedApps()[0].path, QStringLiteral("/Applications/Safari.app"));
    const QByteArray before = storedList().value_or("");
    int listNotices = 0;
    QObject::connect(&m, &AppExclusionManager::excludedAppsChanged, [&] { ++listNotices; });

    workspace.addApplication(QStringLiteral("/Users/me/Safari Copy.app"), {kSafari, "Safari Copy", {}});
    for (const char* path : {"/Users/me/Safari Copy.app", "/Applications/Unsigned.app", "/Users/me/notes.txt",
                             "/Applications"})
        m.addExcludedApp(app(path));
    EXPECT_EQ(listNotices, 0);
    EXPECT_EQ(m.excludedApps()[0].path, QStringLiteral("/Applications/Safari.app"));
    EXPECT_EQ(storedList(), before);
}

TEST_F(ExclusionTest, ListIsStoredCanonicallyAndReadBack)
{
    auto& m = make();
    m.addExcludedApp(QUrl(QStringLiteral("/Applications/Visual Studio Code.app"))); // a plain path
    m.addExcludedApp(app("/Applications/Kestrune.app"));
    const QList<ExcludedApp> before = m.excludedApps();

    const QByteArray bytes = storedList().value_or("");
    EXPECT_EQ(QJsonDocument::fromJson(bytes).toJson(QJsonDocument::Compact), bytes);
    const QJsonObject first = QJsonDocument::fromJson(bytes).array()[0].toObject();
    EXPECT_EQ(first.keys(), (QStringList{"bundleID", "id", "name", "path"}));
    EXPECT_EQ(first[QStringLiteral("id")].toString(), before[0].id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(first[QStringLiteral("name")].toString(), QStringLiteral("Visual Studio Code"));

    relaunch();
    workspace.setFrontmost(QStringLiteral("com.kestrune.Kestrune"));
    auto& again = make();
    ASSERT_EQ(again.excludedApps().size(), 2);
    EXPECT_EQ(again.excludedApps()[1].id, before[1].id);
    EXPECT_EQ(again.excludedApps()[1].path, before[1].path);
    EXPECT_TRUE(excluded()) << "the loaded list is evaluated against the frontmost application";
}

TEST_F(ExclusionTest, UnreadableListIsIgnoredToldOfAndKeptAsideWhenTheListChanges)
{
    const QByteArray cases[] = {
        R"([{"id":"0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D","bundleID":"com.apple.Safari","name":"Safari"}])",
        R"([{"id":"nope","bundleID":"com.apple.Safari","name":"Safari","path":"/Applications/Safari.app"}])",
        "not json",
    };
    workspace.setFrontmost(kSafari);
    for (const QByteArray& data : cases) {
        SCOPED_TRACE(data.toStdString());
        storeList(data);
        EXPECT_TRUE(make().excludedApps().isEmpty());
        EXPECT_FALSE(excluded());
        // The panel says so, naming the setting.
        EXPECT_EQ(defaults->loadProblem().kind, DefaultsProblem::Kind::wrongType);
        EXPECT_EQ(defaults->loadProblem().key, AppExclusionManager::kExclusionsKey);
        relaunch();
        EXPECT_EQ(storedList(), data);
    }
    // The first change replaces the list, and keeps what it replaced.
    make().addExcludedApp(app("/Applications/Xcode.app"));
    EXPECT_EQ(QJsonDocument::fromJson(storedList().value_or("")).array().size(), 1);
    EXPECT_EQ(defaults->loadProblem().kind, DefaultsProblem::Kind::none);
    relaunch();
    EXPECT_EQ(defaults->dataValue(QStringLiteral("ExcludedApps.unreadable")), cases[2]);
    EXPECT_EQ(make().excludedApps().size(), 1);
    EXPECT_EQ(defaults->loadProblem().kind, DefaultsProblem::Kind::none) << "told once, not at every launch";
}

TEST_F(ExclusionTest, NothingRunsForAManagerThatIsGone)
{
    workspace.setFrontmost(kSafari);
    make().addExcludedApp(app("/Applications/Safari.app"));
    manager.reset(); // with its announcement still queued
    scheduler.runDue();
    workspace.setFrontmost(kTerminal); // and its observer removed
    EXPECT_EQ(flagNotices, 0);
}

// The tap thread reads the flag while the main thread edits the list, flips
// the switch and changes the frontmost application.
TEST(ExclusionThreads, FlagReadsRaceWithChanges)
{
    MemoryDefaults defaults;
    VirtualScheduler scheduler;
    SimWorkspace workspace(scheduler);
    AppExclusionManager manager(defaults, workspace, scheduler);
    int notices = 0;
    QObject::connect(&manager, &AppExclusionManager::isCurrentAppExcludedChanged, [&] { ++notices; });

    std::atomic<bool> stop{false};
    std::atomic<int> seen{0};
    std::thread tap([&] {
        while (!stop)
            seen += manager.isCurrentAppExcluded();
    });
    bool last = false;
    int changes = 0;
    for (int i = 0; i < 3000; ++i) {
        switch (i % 4) {
        case 0: manager.addExcludedApp(app("/Applications/Safari.app")); break;
        case 1: workspace.setFrontmost(i % 8 == 1 ? kSafari : kTerminal); break;
        case 2: manager.setEnabled(i % 12 != 2); break;
        case 3:
            if (i % 16 == 3)
                manager.removeExcludedApp(manager.excludedApps().front().id);
            break;
        }
        changes += manager.isCurrentAppExcluded() != last;
        last = manager.isCurrentAppExcluded();
        scheduler.runDue();
    }
    stop = true;
    tap.join();
    EXPECT_GT(changes, 0);
    EXPECT_EQ(notices, changes); // each change announced exactly once
}

} // namespace
} // namespace kestrune
