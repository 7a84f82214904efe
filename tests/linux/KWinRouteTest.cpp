// The KWin route against a private bus on which the test owns org.kde.KWin:
// the script loaded at start and unloaded at the end, its calls taken only
// from KWin, and a KWin that refuses the script said so.

#include "platform/linux/KWinActiveWindow.h"
#include "platform/linux/LinuxWorkspace.h"

#include "DesktopFilesEnvironment.h"
#include "FakeDesktopServices.h"
#include "SystemTestSupport.h"

#include "base/QtScheduler.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>

#include <memory>

namespace kestrune {
namespace {

using test::waitUntil;

const QString kScript =
    QStringLiteral(KESTRUNE_SOURCE_DIR "/resources/linux/kwin/kestrune-active-window/contents/code/main.js");

class KWinRouteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureApplication(); }

    void SetUp() override
    {
        ASSERT_TRUE(daemon.isRunning()) << "dbus-daemon did not start";
        ASSERT_TRUE(clients.isConnected());
        scriptingOwner.reset(threads.adopt(new test::FakeKWinScripting));
        scripting = scriptingOwner.get();
        ASSERT_TRUE(kwin().registerObject(QStringLiteral("/Scripting"), scripting, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(kwin().registerService(KWinActiveWindow::kKWinService));
    }

    QDBusConnection kestrune() const { return clients.kestrune(); }
    QDBusConnection kwin() const { return clients.desktop(); }
    QDBusConnection intruder() const { return clients.intruder(); }

    // What the script does on an activation; the reply, once it came.
    static QDBusMessage report(const QDBusConnection& from, const QStringList& window)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(KWinActiveWindow::kService, KWinActiveWindow::kObjectPath,
                                                           KWinActiveWindow::kInterface,
                                                           QStringLiteral("WindowActivated"));
        for (const QString& part : window)
            call << part;
        QDBusPendingCallWatcher pending(from.asyncCall(call));
        bool finished = false;
        QObject::connect(&pending, &QDBusPendingCallWatcher::finished, [&] { finished = true; });
        waitUntil([&] { return finished || pending.isFinished(); });
        return pending.reply();
    }

    void observe(Workspace& workspace)
    {
        workspace.addActivationObserver([this](const std::optional<QString>& id) { activated.push_back(id); });
    }

    test::PrivateBus daemon;
    test::BusClients clients{daemon.address()};
    std::unique_ptr<test::FakeKWinScripting> scriptingOwner; // gone after its thread has stopped
    test::FakeKWinScripting* scripting = nullptr;
    test::ServiceThread threads;
    QtScheduler scheduler;
    std::vector<std::optional<QString>> activated;
};

TEST_F(KWinRouteTest, TheScriptIsLoadedForTheRunAndOnlyKWinIsHeard)
{
    const QString plugin = KWinActiveWindow::kPluginName;
    {
        LinuxWorkspace workspace(scheduler, std::make_unique<KWinActiveWindow>(kestrune(), kScript));
        ASSERT_TRUE(workspace.canTrackFrontmostApplication());
        EXPECT_EQ(scripting->calls(), (QStringList{QStringLiteral("unload ") + plugin,
                                                    QStringLiteral("load ") + plugin + QLatin1Char(' ') + kScript,
                                                    QStringLiteral("start")}));
        EXPECT_TRUE(scripting->isLoaded(plugin));
        observe(workspace);

        // The script's first call tells the window active at start.
        EXPECT_EQ(report(kwin(), {QStringLiteral("org.example.Gtk"), QStringLiteral("gtk-app"), QString(),
                                  QStringLiteral("0")})
                      .type(),
                  QDBusMessage::ReplyMessage);
        EXPECT_EQ(workspace.frontmostBundleId(), QStringLiteral("org.example.Gtk"));

        const QDBusMessage refused =
            report(intruder(), {QStringLiteral("fancyterm"), QString(), QString(), QStringLiteral("0")});
        EXPECT_EQ(refused.type(), QDBusMessage::ErrorMessage);
        EXPECT_EQ(refused.errorName(), QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
        EXPECT_EQ(workspace.frontmostBundleId(), QStringLiteral("org.example.Gtk"));

        // No desktop file name (an X11 program under Xwayland): its class
        // finds the desktop file, as on X11.
        report(kwin(), {QString(), QStringLiteral("ExampleEditorWindow"), QStringLiteral("editor"), QStringLiteral("0")});
        // Nothing active (the desktop itself).
        report(kwin(), {QString(), QString(), QString(), QStringLiteral("0")});
        EXPECT_EQ(activated, (std::vector<std::optional<QString>>{QStringLiteral("org.example.Gtk"),
                                                                  QStringLiteral("org.example.Editor"), std::nullopt}));
    }
    EXPECT_EQ(scripting->calls().constLast(), QStringLiteral("unload ") + plugin) << "unloaded at the end";
    EXPECT_FALSE(scripting->isLoaded(plugin));
}

TEST_F(KWinRouteTest, AScriptKWinRefusesIsSaidSo)
{
    scripting->refuseLoading();
    LinuxWorkspace workspace(scheduler, std::make_unique<KWinActiveWindow>(kestrune(), kScript));
    EXPECT_FALSE(workspace.canTrackFrontmostApplication());
    EXPECT_EQ(workspace.frontmostBlocker(), FrontmostBlocker::KWinScriptFailed);

    // Nor without the script installed, nor when the name is another's.
    const KWinActiveWindow uninstalled(kestrune(), QStringLiteral("/nonexistent/main.js"));
    EXPECT_FALSE(uninstalled.isTracking());
}

TEST_F(KWinRouteTest, ANewKWinGetsTheScriptAgain)
{
    LinuxWorkspace workspace(scheduler, std::make_unique<KWinActiveWindow>(kestrune(), kScript));
    ASSERT_TRUE(workspace.canTrackFrontmostApplication());
    ASSERT_TRUE(kwin().unregisterService(KWinActiveWindow::kKWinService));
    ASSERT_TRUE(waitUntil([&] { return !workspace.canTrackFrontmostApplication(); }));

    // A replacement KWin takes the name (the same fake, through another connection).
    ASSERT_TRUE(intruder().registerObject(QStringLiteral("/Scripting"), scripting, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(intruder().registerService(KWinActiveWindow::kKWinService));
    ASSERT_TRUE(waitUntil([&] { return workspace.canTrackFrontmostApplication(); }));
    EXPECT_EQ(report(intruder(), {QStringLiteral("org.example.Kde"), QString(), QString(), QStringLiteral("0")}).type(),
              QDBusMessage::ReplyMessage);
    EXPECT_EQ(workspace.frontmostBundleId(), QStringLiteral("org.example.Kde"));
    EXPECT_EQ(report(kwin(), {QStringLiteral("fancyterm"), QString(), QString(), QStringLiteral("0")}).type(),
              QDBusMessage::ErrorMessage)
        << "the old one is no longer KWin";
}

} // namespace
} // namespace kestrune
