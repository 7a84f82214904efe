#include "launcher/AppLauncherManager.h"
#include "launcher/LauncherShortcutCodec.h"
#include "launcher/PhysicalKey.h"
#include "platform/linux/EvdevKeyTable.h"

#include "base/FileDefaults.h"
#include "base/KeyNames.h"
#include "base/VirtualScheduler.h"
#include "platform/sim/SimWorkspace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace kestrune {
namespace {

const QString kDecodeFailure = QStringLiteral("AppLauncherManager: Failed to decode shortcuts: ");
const QString kCompacted = QStringLiteral("AppLauncherManager: Compacted legacy launcher shortcut data.");
const QByteArray kSafari = R"("appURL":"file:///Applications/Safari.app","appName":"Safari")";

struct RecordingConsole final : Console {
    void printLine(const QString& line) override
    {
        std::lock_guard lock(mutex);
        lines.append(line);
    }
    std::mutex mutex;
    QStringList lines;
};

QUrl app(const char* path) { return QUrl::fromLocalFile(QString::fromUtf8(path)); }

class LauncherTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<FileDefaults> defaults = std::make_unique<FileDefaults>(dir.path());
    VirtualScheduler scheduler;
    SimWorkspace workspace{scheduler};
    RecordingConsole console;

    std::unique_ptr<AppLauncherManager> make()
    {
        return std::make_unique<AppLauncherManager>(*defaults, workspace, scheduler, console);
    }
    // What the next launch reads: a new store over the same folder.
    void relaunch() { defaults = std::make_unique<FileDefaults>(dir.path()); }
    void storeList(const QByteArray& json) { defaults->setValue(AppLauncherManager::kShortcutsKey, json); }
    std::optional<QByteArray> storedList() const { return defaults->dataValue(AppLauncherManager::kShortcutsKey); }
    QJsonArray storedArray() const { return QJsonDocument::fromJson(storedList().value_or("")).array(); }
};

TEST_F(LauncherTest, StartsOffAndEmptyWithoutWritingAndKeepsTheSwitch)
{
    defaults->setValue(AppLauncherManager::kEnabledKey, QStringLiteral("true")); // not a Boolean
    auto launcher = make();
    EXPECT_FALSE(launcher->isEnabled());
    EXPECT_TRUE(launcher->shortcuts().isEmpty());
    EXPECT_FALSE(storedList());

    launcher->setEnabled(true);
    launcher.reset();
    relaunch();
    EXPECT_TRUE(make()->isEnabled());
    EXPECT_FALSE(storedList());
}

TEST_F(LauncherTest, LegacyDataIsCompactedOnceAndMissingIdsAreStoredAtOnce)
{
    storeList(R"([{"id":"0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d","keyCode":8,)" + kSafari
              + R"(,"iconData":"iVBORw0KGgo="},{"keyCode":17,"appURL":"file:///Applications/Utilities/Terminal.app",)"
                R"("appName":"Terminal","iconData":"AAAA"}])");
    auto first = make();
    ASSERT_EQ(first->shortcuts().size(), 2);
    EXPECT_EQ(console.lines, QStringList{kCompacted});

    const QJsonArray stored = storedArray();
    const QRegularExpression canonical(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$"));
    ASSERT_EQ(stored.size(), 2);
    for (const QJsonValue& item : stored) {
        EXPECT_EQ(item.toObject().keys(), (QStringList{"appName", "appURL", "id", "keyCode"}));
        EXPECT_TRUE(canonical.match(item[QStringLiteral("id")].toString()).hasMatch());
    }
    EXPECT_EQ(stored[0][QStringLiteral("id")].toString(), QStringLiteral("0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D"));

    const QList<LauncherShortcut> before = first->shortcuts();
    first.reset();
    console.lines.clear();
    relaunch();
    EXPECT_EQ(make()->shortcuts(), before); // the fresh id was kept
    EXPECT_TRUE(console.lines.isEmpty());
}

TEST_F(LauncherTest, UndecodableListIsRejectedWholeToldOfAndKeptAsideAtTheNextChange)
{
    const std::pair<QByteArray, const char*> cases[] = {
        {R"([{"keyCode":8,"appURL":"file:///Applications/Safari.app"}])", "\"appName\""},
        {"[{\"keyCode\":8," + kSafari + "},{\"keyCode\":9,\"appURL\":\"file:///A.app\"}]", "index 1"},
        {"[{\"keyCode\":8," + kSafari + "},3]", "index 1 is a number"},
        {"[{\"id\":\"{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\",\"keyCode\":8," + kSafari + "}]", "\"id\""},
        {"[{\"keyCode\":8.5," + kSafari + "}]", "\"keyCode\""},
        {R"([{"keyCode":8,"appURL":"http://[::1","appName":"X"}])", "\"appURL\""},
        {R"({"keyCode":8})", "array"},
        {"[{\"keyCode\":8,", "JSON"},
    };
    for (const auto& [data, mentions] : cases) {
        SCOPED_TRACE(data.toStdString());
        console.lines.clear();
        storeList(data);
        EXPECT_TRUE(make()->shortcuts().isEmpty());
        ASSERT_EQ(console.lines.size(), 1);
        EXPECT_TRUE(console.lines[0].startsWith(kDecodeFailure)) << console.lines[0].toStdString();
        EXPECT_TRUE(console.lines[0].contains(QLatin1String(mentions))) << console.lines[0].toStdString();
        EXPECT_EQ(defaults->loadProblem().kind, DefaultsProblem::Kind::wrongType);
        EXPECT_EQ(defaults->loadProblem().key, AppLauncherManager::kShortcutsKey);
        relaunch();
        EXPECT_EQ(storedList(), data);
        // The decoder hands back a reason or a list, never part of one.
        EXPECT_TRUE(decodeShortcuts(data).shortcuts.isEmpty());
    }

    // The first change replaces the list and keeps the old bytes aside.
    const QString aside = QStringLiteral("launcherShortcuts.unreadable");
    storeList(cases[0].first);
    make()->addShortcut(app("/Applications/TextEdit.app"), 14);
    EXPECT_EQ(storedArray().size(), 1);
    EXPECT_EQ(defaults->loadProblem().kind, DefaultsProblem::Kind::none);
    relaunch();
    EXPECT_EQ(defaults->dataValue(aside), cases[0].first);
    storeList(cases[1].first);
    make()->removeShortcut(QUuid::createUuid()); // a removal that matches nothing still saves
    EXPECT_EQ(storedList(), QByteArray("[]"));
    EXPECT_EQ(defaults->dataValue(aside), cases[1].first) << "the latest replaced list";
}

TEST_F(LauncherTest, AddingRebindsTheKeyLastAndWritesCompactData)
{
    auto launcher = make();
    int notified = 0;
    QObject::connect(launcher.get(), &AppLauncherManager::shortcutsChanged, [&] { ++notified; });
    launcher->addShortcut(app("/Applications/Visual Studio Code.app/"), 8);
    launcher->addShortcut(app("/Applications/Utilities/Terminal.app"), 17);
    launcher->addShortcut(QUrl(QStringLiteral("/Applications/Visual Studio Code.app")), 1); // plain path
    EXPECT_EQ(notified, 6); // a removal pass and an append for each
    launcher->addShortcut(app("/Applications/TextEdit.app"), 8);

    const QList<LauncherShortcut>& list = launcher->shortcuts();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ((QStringList{list[0].appName, list[1].appName, list[2].appName}),
              (QStringList{"Terminal", "Visual Studio Code", "TextEdit"}));
    EXPECT_EQ(list[2].keyCode, 8);

    const QByteArray bytes = storedList().value_or("");
    EXPECT_EQ(QJsonDocument::fromJson(bytes).toJson(QJsonDocument::Compact), bytes);
    EXPECT_EQ(storedArray()[1][QStringLiteral("appURL")].toString(),
              QStringLiteral("file:///Applications/Visual%20Studio%20Code.app"));

    launcher->removeShortcut(list[0].id);
    const QList<LauncherShortcut> kept = launcher->shortcuts();
    EXPECT_EQ(kept.size(), 2);
    launcher.reset();
    relaunch();
    EXPECT_EQ(make()->shortcuts(), kept);
}

TEST_F(LauncherTest, APathWithALoneSurrogateReadsTheSameBeforeAndAfterItIsStored)
{
    // Written by hand or by another tool: JSON allows a lone surrogate escape.
    storeList(R"([{"keyCode":8,"appURL":"file:///Applications/A\ud800B.app","appName":"A"},)"
              R"({"keyCode":9,"appURL":"/opt/%ZZ\udc00 x","appName":"B"}])");
    auto launcher = make();
    ASSERT_EQ(launcher->shortcuts().size(), 2) << console.lines.join(QLatin1Char('\n')).toStdString();
    const QList<LauncherShortcut> first = launcher->shortcuts();
    launcher->addShortcut(QUrl::fromLocalFile(QStringLiteral("/opt/C") + QChar(0xdbff) + QStringLiteral(".app")), 10);
    const QList<LauncherShortcut> added = launcher->shortcuts();
    launcher.reset();
    relaunch();
    auto again = make();
    ASSERT_EQ(again->shortcuts().size(), 3);
    EXPECT_EQ(again->shortcuts()[0].appURL, first[0].appURL);
    EXPECT_EQ(again->shortcuts()[1].appURL, first[1].appURL);
    EXPECT_EQ(again->shortcuts()[2].appURL, added[2].appURL);

    // And the codec alone: one round trip reaches the form that stays.
    for (const char* url : {R"(file:///a\ud800)", R"(file:///%F0%9F)", R"(x:%\udfff%25)", R"(file:///\udbff\udfff)"}) {
        const QByteArray stored = QByteArray(R"([{"keyCode":1,"appName":"n","appURL":")") + url + "\"}]";
        const ShortcutDecodeResult once = decodeShortcuts(stored);
        ASSERT_TRUE(once.error.isEmpty()) << url;
        const ShortcutDecodeResult twice = decodeShortcuts(encodeShortcuts(once.shortcuts));
        EXPECT_EQ(twice.shortcuts, once.shortcuts) << url;
    }
}

TEST_F(LauncherTest, HitsOpenThroughTheMainQueueAndReportFailures)
{
    storeList("[{\"keyCode\":8," + kSafari + R"(},{"keyCode":8,"appURL":"file:///Applications/Slack.app",)"
              R"("appName":"Slack"},{"keyCode":46,"appURL":"file:///Applications/Missing.app","appName":"M"}])");
    auto launcher = make();
    EXPECT_FALSE(launcher->launchShortcut(8)); // switch off
    launcher->setEnabled(true);
    EXPECT_FALSE(launcher->launchShortcut(9)); // unbound
    scheduler.runDue();
    EXPECT_TRUE(workspace.openedApplications.isEmpty());

    EXPECT_TRUE(launcher->launchShortcut(8));
    EXPECT_TRUE(workspace.openedApplications.isEmpty()) << "opened from the calling thread";
    scheduler.runDue();
    EXPECT_EQ(workspace.openedApplications, QStringList{"/Applications/Safari.app"}); // the first binding wins
    EXPECT_TRUE(console.lines.isEmpty());

    EXPECT_TRUE(launcher->launchShortcut(46));
    scheduler.runDue();
    EXPECT_EQ(console.lines, QStringList{"AppLauncherManager: Failed to launch app at file:///Applications/Missing.app: "
                                         + SimWorkspace::kNotFoundError});
    EXPECT_EQ(launcher->shortcuts().size(), 3);
}

TEST_F(LauncherTest, DeferredWorkDoesNothingOnceTheManagerIsGone)
{
    defaults->setValue(AppLauncherManager::kEnabledKey, true);
    storeList(R"([{"keyCode":8,"appURL":"file:///Applications/Missing.app","appName":"Missing"}])");
    auto launcher = make();
    EXPECT_TRUE(launcher->launchShortcut(8));
    launcher.reset();
    scheduler.runDue();
    EXPECT_TRUE(workspace.openedApplications.isEmpty());

    launcher = make();
    EXPECT_TRUE(launcher->launchShortcut(8));
    scheduler.setAfterWorkHook([&] { launcher.reset(); }); // gone before the open completes
    scheduler.runDue();
    scheduler.setAfterWorkHook({});
    EXPECT_EQ(workspace.openedApplications.size(), 1);
    EXPECT_TRUE(console.lines.isEmpty());
}

TEST(KeyDisplayName, EveryKeyABindingCanTakeHasItsPlatformsName)
{
    // Every key the editor can capture (the keyboard's keys but modifiers),
    // named, never numbered.
    QStringList seen;
    for (unsigned evdevCode = 0; evdevCode < KEY_CNT; ++evdevCode) {
        const KeyCode code = evdev::macKeyFor(evdevCode);
        if (code < 0 || isModifierKeyCode(code))
            continue;
        const QString name = AppLauncherManager::keyDisplayName(code);
        EXPECT_FALSE(name.startsWith(QStringLiteral("Key "))) << "evdev " << evdevCode << ": " << name.toStdString();
        EXPECT_FALSE(seen.contains(name)) << name.toStdString() << " names two keys";
        seen << name;
    }
    const struct {
        KeyCode code;
        const char* linuxName;
        const char* macName;
    } cases[] = {
        {0, "A", "A"},         {22, "6", "6"},          {36, "Enter", "Return"},  {48, "Tab", "Tab"},
        {122, "F1", "F1"},     {96, "F5", "F5"},        {43, ",", ","},           {42, "\\", "\\"},
        {kc::kVK_Delete, "Backspace", "Delete"},         {kc::kVK_ForwardDelete, "Delete", "Fn + Delete"},
        {114, "Insert", "Help"}, {102, "Eisu", "英数"},  {-1, "Key -1", "Key -1"},
    };
    for (const auto& c : cases) {
        {
            ScopedKeyboardConvention speaking(KeyboardConvention::linuxDesktop);
            EXPECT_EQ(AppLauncherManager::keyDisplayName(c.code), QString::fromUtf8(c.linuxName)) << c.code;
        }
        ScopedKeyboardConvention speaking(KeyboardConvention::macOS);
        EXPECT_EQ(AppLauncherManager::keyDisplayName(c.code), QString::fromUtf8(c.macName)) << c.code;
    }
}

// The tap thread looks keys up while the main thread edits the list and
// drives the queue; every hit turns into exactly one open request.
TEST(LauncherThreads, LookupsRaceWithEdits)
{
    MemoryDefaults defaults;
    VirtualScheduler scheduler;
    SimWorkspace workspace(scheduler);
    RecordingConsole console;
    AppLauncherManager launcher(defaults, workspace, scheduler, console);
    launcher.addShortcut(app("/Applications/Safari.app"), 8);
    launcher.setEnabled(true);

    // Bounded: every hit posts work, and the queue is drained meanwhile.
    std::atomic<bool> started{false}, done{false};
    std::atomic<int> hits{0};
    std::thread tap([&] {
        for (int n = 0; n < 20000; ++n) {
            hits += launcher.launchShortcut(8);
            launcher.launchShortcut(99);
            started = true;
        }
        done = true;
    });
    while (!started)
        std::this_thread::yield();
    for (int i = 0; i < 2000 || !done; ++i) {
        launcher.setEnabled(i % 7 != 0);
        launcher.addShortcut(app(i % 2 ? "/Applications/Slack.app" : "/Applications/Safari.app"), i % 3 ? 8 : 9);
        if (i % 5 == 0)
            launcher.removeShortcut(launcher.shortcuts().front().id);
        scheduler.runDue();
    }
    tap.join();
    scheduler.runDue();
    EXPECT_GT(hits.load(), 0);
    EXPECT_EQ(workspace.openedApplications.size(), hits.load());
}

} // namespace
} // namespace kestrune
