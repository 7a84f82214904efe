// The GNOME Shell route against a private bus on which the test owns
// org.gnome.Shell: the extensions' states read at start, the focused
// application asked for, notices taken only from the Shell, and the
// extension turned on through the Shell's own interface.

#include "platform/linux/GnomeShellActiveWindow.h"
#include "platform/linux/LinuxWorkspace.h"

#include "DesktopFilesEnvironment.h"
#include "FakeDesktopServices.h"
#include "SystemTestSupport.h"

#include "base/FileDefaults.h"
#include "base/QtScheduler.h"
#include "exclusions/AppExclusionManager.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QTemporaryDir>

#include <memory>

namespace kestrune {
namespace {

using test::waitUntil;

const QString kModern = GnomeShellActiveWindow::kExtensionUuids.value(0);
const QString kLegacy = GnomeShellActiveWindow::kExtensionUuids.value(1);

class GnomeShellRouteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureApplication(); }

    void SetUp() override
    {
        ASSERT_TRUE(daemon.isRunning()) << "dbus-daemon did not start";
        ASSERT_TRUE(clients.isConnected());
        extensionsOwner.reset(threads.adopt(new test::FakeShellExtensions(shell())));
        extensionOwner.reset(threads.adopt(new test::FakeShellExtensionObject));
        extensions = extensionsOwner.get();
        extension = extensionOwner.get();
        ASSERT_TRUE(shell().registerObject(QStringLiteral("/org/gnome/Shell"), extensions,
                                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
        ASSERT_TRUE(shell().registerObject(GnomeShellActiveWindow::kObjectPath, extension,
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(shell().registerService(GnomeShellActiveWindow::kShellService));
    }

    QDBusConnection kestrune() const { return clients.kestrune(); }
    QDBusConnection shell() const { return clients.desktop(); }
    QDBusConnection intruder() const { return clients.intruder(); }

    // The extension's call on Kestrune's name; the reply says whether it counted.
    static QDBusMessage announce(const QDBusConnection& from, const QStringList& focus)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            GnomeShellActiveWindow::kService, GnomeShellActiveWindow::kReceiverPath,
            GnomeShellActiveWindow::kReceiverInterface, QStringLiteral("ActiveApplicationChanged"));
        call << focus.value(0) << focus.value(1) << focus.value(2) << focus.value(3).toInt();
        return from.call(call, QDBus::BlockWithGui); // Kestrune answers on this thread
    }

    void observe(Workspace& workspace)
    {
        workspace.addActivationObserver([this](const std::optional<QString>& id) { activated.push_back(id); });
    }

    test::PrivateBus daemon;
    test::BusClients clients{daemon.address()};
    // Gone after their thread has stopped.
    std::unique_ptr<test::FakeShellExtensions> extensionsOwner;
    std::unique_ptr<test::FakeShellExtensionObject> extensionOwner;
    test::FakeShellExtensions* extensions = nullptr;
    test::FakeShellExtensionObject* extension = nullptr;
    test::ServiceThread threads;
    QtScheduler scheduler;
    std::vector<std::optional<QString>> activated;
};

TEST_F(GnomeShellRouteTest, NoticesCountOnlyFromTheShell)
{
    extensions->setState(kModern, GnomeShellActiveWindow::Enabled);
    extensions->setState(kLegacy, GnomeShellActiveWindow::OutOfDate);
    extension->setFocus({QStringLiteral("org.example.Gtk.desktop"), QStringLiteral("Gtk-app"),
                         QStringLiteral("gtk-app"), QStringLiteral("0")});

    LinuxWorkspace workspace(scheduler, std::make_unique<GnomeShellActiveWindow>(kestrune()));
    ASSERT_TRUE(workspace.canTrackFrontmostApplication());
    EXPECT_EQ(workspace.frontmostBundleId(), QStringLiteral("org.example.Gtk")) << "asked for at start";
    observe(workspace);

    // An impostor's call is refused; the Shell's next one is the first to count.
    const QDBusMessage refused = announce(intruder(), {QStringLiteral("fancyterm.desktop"), {}, {}, QStringLiteral("0")});
    EXPECT_EQ(refused.errorName(), QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
    EXPECT_EQ(announce(shell(), {{}, QStringLiteral("ExampleEditorWindow"), QStringLiteral("editor"),
                                 QStringLiteral("0")}).type(),
              QDBusMessage::ReplyMessage);
    ASSERT_TRUE(waitUntil([&] { return !activated.empty(); }));
    EXPECT_EQ(activated, (std::vector<std::optional<QString>>{QStringLiteral("org.example.Editor")}))
        << "a window without desktop id goes by its class, through the desktop files";

    announce(shell(), {QStringLiteral("org.example.Kde.desktop"), {}, {}, QStringLiteral("0")});
    ASSERT_TRUE(waitUntil([&] { return activated.size() == 2; }));
    // Kestrune holds its name while it follows the Shell: the extension
    // tells and answers that name's owner alone.
    EXPECT_EQ(shell().interface()->serviceOwner(GnomeShellActiveWindow::kService).value(),
              kestrune().baseService());
    EXPECT_EQ(activated.back(), QStringLiteral("org.example.Kde"));
}

TEST_F(GnomeShellRouteTest, AnInstalledExtensionThatIsOffIsTurnedOnThroughTheShell)
{
    extensions->setState(kModern, GnomeShellActiveWindow::Disabled);
    extensions->setUserExtensionsEnabled(false);
    extension->setFocus({QStringLiteral("org.example.Editor.desktop"), {}, {}, QStringLiteral("0")});

    LinuxWorkspace workspace(scheduler, std::make_unique<GnomeShellActiveWindow>(kestrune()));
    QTemporaryDir settings;
    FileDefaults defaults(settings.path());
    AppExclusionManager exclusions(defaults, workspace, scheduler);
    exclusions.addExcludedApp(QUrl(QStringLiteral("org.example.Editor")));
    EXPECT_FALSE(exclusions.canFollowFrontmostApplication());
    EXPECT_EQ(exclusions.frontmostBlocker(), int(FrontmostBlocker::ShellUserExtensionsOff))
        << "the card says beforehand that user extensions come on too";
    EXPECT_FALSE(exclusions.isCurrentAppExcluded());
    int changes = 0;
    QObject::connect(&exclusions, &AppExclusionManager::frontmostTrackingChanged, [&] { ++changes; });

    // The card's button: user extensions come on with it, or it would stay off.
    exclusions.removeFrontmostBlocker();
    ASSERT_TRUE(waitUntil([&] { return exclusions.canFollowFrontmostApplication(); }));
    EXPECT_EQ(extensions->enabled(), QStringList{kModern});
    EXPECT_TRUE(extensions->userExtensionsEnabled());
    EXPECT_EQ(exclusions.frontmostBlocker(), int(FrontmostBlocker::None));
    EXPECT_GE(changes, 1);
    EXPECT_TRUE(exclusions.isCurrentAppExcluded()) << "the application already in front counts at once";
}

TEST_F(GnomeShellRouteTest, TheFormForTheShellsVersionIsUsedAndAMissingOneIsSaidSo)
{
    {
        // GNOME 43 and 44 run the legacy form and call the other out of date.
        extensions->setState(kModern, GnomeShellActiveWindow::OutOfDate);
        extensions->setState(kLegacy, GnomeShellActiveWindow::Enabled);
        extension->setFocus({QStringLiteral("org.example.Kde.desktop"), {}, {}, QStringLiteral("0")});
        LinuxWorkspace workspace(scheduler, std::make_unique<GnomeShellActiveWindow>(kestrune()));
        EXPECT_TRUE(workspace.canTrackFrontmostApplication());
        EXPECT_EQ(workspace.frontmostBundleId(), QStringLiteral("org.example.Kde"));
    }
    {
        extensions->setState(kLegacy, GnomeShellActiveWindow::Disabled);
        LinuxWorkspace workspace(scheduler, std::make_unique<GnomeShellActiveWindow>(kestrune()));
        EXPECT_EQ(workspace.frontmostBlocker(), FrontmostBlocker::ShellExtensionOff);
        workspace.removeFrontmostBlocker();
        EXPECT_EQ(extensions->enabled(), QStringList{kLegacy}) << "the one the Shell can run";
    }
    {
        extensions->setState(kModern, GnomeShellActiveWindow::Error);
        extensions->setState(kLegacy, GnomeShellActiveWindow::OutOfDate);
        LinuxWorkspace workspace(scheduler, std::make_unique<GnomeShellActiveWindow>(kestrune()));
        EXPECT_FALSE(workspace.canTrackFrontmostApplication());
        EXPECT_EQ(workspace.frontmostBlocker(), FrontmostBlocker::ShellExtensionMissing);
    }
    {
        // Enabled elsewhere (the Extensions application) while Kestrune runs.
        extensions->setState(kModern, GnomeShellActiveWindow::Disabled);
        LinuxWorkspace workspace(scheduler, std::make_unique<GnomeShellActiveWindow>(kestrune()));
        ASSERT_FALSE(workspace.canTrackFrontmostApplication());
        QDBusMessage enable = QDBusMessage::createMethodCall(GnomeShellActiveWindow::kShellService,
                                                             QStringLiteral("/org/gnome/Shell"),
                                                             QStringLiteral("org.gnome.Shell.Extensions"),
                                                             QStringLiteral("EnableExtension"));
        enable << kModern;
        ASSERT_EQ(intruder().call(enable).type(), QDBusMessage::ReplyMessage);
        ASSERT_TRUE(waitUntil([&] { return workspace.canTrackFrontmostApplication(); }));
        EXPECT_EQ(workspace.frontmostBundleId(), QStringLiteral("org.example.Kde"));
    }
}

TEST_F(GnomeShellRouteTest, WithoutTheExtensionOrTheShellNothingIsFollowed)
{
    LinuxWorkspace missing(scheduler, std::make_unique<GnomeShellActiveWindow>(kestrune()));
    EXPECT_FALSE(missing.canTrackFrontmostApplication());
    EXPECT_EQ(missing.frontmostBlocker(), FrontmostBlocker::ShellExtensionMissing);
    missing.removeFrontmostBlocker();
    EXPECT_TRUE(extensions->enabled().isEmpty()) << "nothing installed to turn on";

    // The Shell leaves the bus.
    extensions->setState(kModern, GnomeShellActiveWindow::Enabled);
    LinuxWorkspace workspace(scheduler, std::make_unique<GnomeShellActiveWindow>(kestrune()));
    ASSERT_TRUE(workspace.canTrackFrontmostApplication());
    ASSERT_TRUE(shell().unregisterService(GnomeShellActiveWindow::kShellService));
    ASSERT_TRUE(waitUntil([&] { return !workspace.canTrackFrontmostApplication(); }));
    EXPECT_EQ(workspace.frontmostBlocker(), FrontmostBlocker::DesktopUnsupported);
}

} // namespace
} // namespace kestrune
