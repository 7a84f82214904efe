// The sway route against a real headless sway (no input devices, a private
// runtime folder) with real Wayland windows (foot, each with its own app id),
// focused with swaymsg: the activation notices, the identifiers they resolve
// to through the desktop files, and exclusions following them end to end.
// Messages no sway sends come from a peer of the test's own.

#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/SwayActiveWindow.h"

#include "DesktopFilesEnvironment.h"
#include "SystemTestSupport.h"

#include "base/FileDefaults.h"
#include "base/QtScheduler.h"
#include "exclusions/AppExclusionManager.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace kestrune {
namespace {

using test::waitUntil;
using namespace std::chrono_literals;

// sway refuses to run as root; under root (as in CI containers) it runs as nobody.
constexpr uid_t kUnprivileged = 65534;

class SwaySession {
public:
    SwaySession()
    {
        if (!runtime_.isValid())
            return;
        QFile::setPermissions(runtime_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile config(runtime_.path() + QStringLiteral("/config"));
        if (!config.open(QIODevice::WriteOnly))
            return;
        // Once up, sway runs this and its output tells where it listens.
        config.write("xwayland disable\nexec printf '%s %s\\n' \"$SWAYSOCK\" \"$WAYLAND_DISPLAY\"\n");
        config.close();
        QStringList command{QStringLiteral("sway"), QStringLiteral("-c"), config.fileName()};
        if (::geteuid() == 0) {
            if (::chown(QFile::encodeName(runtime_.path()).constData(), kUnprivileged, kUnprivileged) != 0)
                return;
            command = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                  QStringLiteral("--clear-groups")} + command;
            command.prepend(QStringLiteral("setpriv"));
        }
        process_.setProcessEnvironment(environment());
        const QStringList where =
            test::startAndReadLine(process_, command.takeFirst(), command).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (where.size() == 2) {
            socket_ = where[0];
            display_ = where[1];
        }
    }
    ~SwaySession()
    {
        for (auto& window : windows_)
            test::stopProcess(*window);
        test::stopProcess(process_);
    }

    bool isRunning() const { return !socket_.isEmpty(); }
    QString socket() const { return socket_; }

    // A Wayland window with this app id; false when it did not start.
    QProcess* openWindow(const QString& appId)
    {
        auto window = std::make_unique<QProcess>();
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), display_);
        window->setProcessEnvironment(env);
        window->setStandardOutputFile(QProcess::nullDevice());
        window->setStandardErrorFile(QProcess::nullDevice());
        window->start(QStringLiteral("foot"), {QStringLiteral("--app-id=") + appId, QStringLiteral("cat")});
        if (!window->waitForStarted(10000))
            return nullptr;
        windows_.push_back(std::move(window));
        return windows_.back().get();
    }

    // A sway command, as a user would give it.
    bool command(const QString& line)
    {
        QProcess swaymsg;
        swaymsg.setProcessEnvironment(environment());
        swaymsg.start(QStringLiteral("swaymsg"), {QStringLiteral("-s"), socket_, line});
        return swaymsg.waitForFinished(10000) && swaymsg.exitCode() == 0;
    }

    void kill()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }

private:
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        env.insert(QStringLiteral("HOME"), runtime_.path());
        env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
        env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
        env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
        for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY", "SWAYSOCK", "I3SOCK"})
            env.remove(QString::fromLatin1(name));
        return env;
    }

    QTemporaryDir runtime_;
    QProcess process_;
    QString socket_;
    QString display_;
    std::vector<std::unique_ptr<QProcess>> windows_;
};

class SwayRouteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureApplication(); }

    void SetUp() override { ASSERT_TRUE(sway.isRunning()) << "sway did not start (run scripts/setup.sh)"; }

    void observe(Workspace& workspace)
    {
        workspace.addActivationObserver([this](const std::optional<QString>& id) { activated.push_back(id); });
    }
    bool waitForActivation(const std::optional<QString>& id)
    {
        return waitUntil([&] { return !activated.empty() && activated.back() == id; }, 20s);
    }

    SwaySession sway;
    QtScheduler scheduler;
    std::vector<std::optional<QString>> activated;
};

TEST_F(SwayRouteTest, FocusedWindowsNameTheFrontmostApplicationAndExclusionsFollow)
{
    LinuxWorkspace workspace(scheduler, std::make_unique<SwayActiveWindow>(sway.socket()));
    ASSERT_TRUE(workspace.canTrackFrontmostApplication());
    EXPECT_EQ(workspace.frontmostBlocker(), FrontmostBlocker::None);
    EXPECT_EQ(workspace.frontmostBundleId(), std::nullopt) << "an empty workspace has no application";
    observe(workspace);

    QTemporaryDir settings;
    FileDefaults defaults(settings.path());
    AppExclusionManager exclusions(defaults, workspace, scheduler);
    exclusions.addExcludedApp(QUrl(QStringLiteral("org.example.Editor")));
    ASSERT_EQ(exclusions.excludedApps().size(), 1);

    // A new window takes the focus: its app id is a desktop-file id.
    ASSERT_TRUE(sway.openWindow(QStringLiteral("org.example.Editor")));
    ASSERT_TRUE(waitForActivation(QStringLiteral("org.example.Editor")));
    EXPECT_TRUE(exclusions.isCurrentAppExcluded());
    // An app id no desktop file has still counts as another application.
    ASSERT_TRUE(sway.openWindow(QStringLiteral("kestrune.unlisted")));
    ASSERT_TRUE(waitForActivation(QStringLiteral("kestrune.unlisted")));
    EXPECT_FALSE(exclusions.isCurrentAppExcluded());

    const size_t before = activated.size();
    ASSERT_TRUE(sway.command(QStringLiteral("[app_id=\"org.example.Editor\"] focus")));
    ASSERT_TRUE(waitForActivation(QStringLiteral("org.example.Editor")));
    EXPECT_EQ(activated.size(), before + 1) << "one notice per change";
    EXPECT_TRUE(exclusions.isCurrentAppExcluded());
    ASSERT_TRUE(sway.command(QStringLiteral("[app_id=\"kestrune.unlisted\"] focus")));
    ASSERT_TRUE(waitForActivation(QStringLiteral("kestrune.unlisted")));
    EXPECT_FALSE(exclusions.isCurrentAppExcluded());

    // An empty workspace: nothing is in front, which leaves the flag alone.
    ASSERT_TRUE(sway.command(QStringLiteral("[app_id=\"org.example.Editor\"] focus")));
    ASSERT_TRUE(waitForActivation(QStringLiteral("org.example.Editor")));
    ASSERT_TRUE(sway.command(QStringLiteral("workspace 5")));
    ASSERT_TRUE(waitForActivation(std::nullopt));
    EXPECT_EQ(workspace.frontmostBundleId(), std::nullopt);
    EXPECT_TRUE(exclusions.isCurrentAppExcluded());
    ASSERT_TRUE(sway.command(QStringLiteral("workspace 1")));
    ASSERT_TRUE(waitForActivation(QStringLiteral("org.example.Editor")));
}

TEST_F(SwayRouteTest, TheStateAtStartIsReadAndClosingMovesTheFocusOn)
{
    {
        // New windows take the focus; this one watches them come up.
        LinuxWorkspace probe(scheduler, std::make_unique<SwayActiveWindow>(sway.socket()));
        observe(probe);
        ASSERT_TRUE(sway.openWindow(QStringLiteral("org.example.Editor")));
        ASSERT_TRUE(waitForActivation(QStringLiteral("org.example.Editor")));
        ASSERT_TRUE(sway.openWindow(QStringLiteral("org.example.Gtk")));
        ASSERT_TRUE(waitForActivation(QStringLiteral("org.example.Gtk")));
    }
    activated.clear();

    // Known before the constructor returns, without waiting for a change.
    LinuxWorkspace workspace(scheduler, std::make_unique<SwayActiveWindow>(sway.socket()));
    EXPECT_EQ(workspace.frontmostBundleId(), QStringLiteral("org.example.Gtk"));
    observe(workspace);

    ASSERT_TRUE(sway.command(QStringLiteral("[app_id=\"org.example.Gtk\"] kill")));
    ASSERT_TRUE(waitForActivation(QStringLiteral("org.example.Editor")));
    EXPECT_EQ(workspace.frontmostBundleId(), QStringLiteral("org.example.Editor"));
}

TEST_F(SwayRouteTest, SwayGoingAwayStopsTracking)
{
    ASSERT_TRUE(sway.openWindow(QStringLiteral("org.example.Editor")));
    LinuxWorkspace workspace(scheduler, std::make_unique<SwayActiveWindow>(sway.socket()));
    ASSERT_TRUE(workspace.canTrackFrontmostApplication());
    int changes = 0;
    workspace.setTrackingChangedHandler([&] { ++changes; });
    sway.kill();
    ASSERT_TRUE(waitUntil([&] { return !workspace.canTrackFrontmostApplication(); }));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(workspace.frontmostBundleId(), std::nullopt);
    EXPECT_EQ(workspace.frontmostBlocker(), FrontmostBlocker::DesktopUnsupported);

    const SwayActiveWindow nowhere(QStringLiteral("/nonexistent/sway-ipc.sock"));
    EXPECT_FALSE(nowhere.isTracking());
}

// An i3 IPC message: the magic, the length and type in the host's byte
// order, then the payload.
QByteArray ipcMessage(std::uint32_t type, const QByteArray& payload, std::uint32_t length)
{
    QByteArray message("i3-ipc");
    message.append(reinterpret_cast<const char*>(&length), 4);
    message.append(reinterpret_cast<const char*>(&type), 4);
    return message + payload;
}
QByteArray ipcMessage(std::uint32_t type, const QByteArray& payload)
{
    return ipcMessage(type, payload, static_cast<std::uint32_t>(payload.size()));
}

constexpr std::uint32_t kWindowEvent = 0x80000003u;

QByteArray focusEvent(const char* appId)
{
    return QByteArray(R"({"change":"focus","container":{"id":7,"pid":0,"app_id":")") + appId + "\"}}";
}

// An IPC peer on a thread of its own (the route waits for its first answers
// before its constructor returns): it answers the subscription and the tree
// request, sends `then` once released, and keeps reading until the route
// closes the connection.
class FakeIpcPeer {
public:
    explicit FakeIpcPeer(QByteArray then) : then_(std::move(then))
    {
        if (::pipe2(release_, O_CLOEXEC) != 0)
            return;
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(path_);
        std::memcpy(address.sun_path, path.constData(), std::min<size_t>(path.size(), sizeof address.sun_path - 1));
        if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
            && ::listen(listener_, 1) == 0)
            thread_ = std::thread([this] { serve(); });
    }
    ~FakeIpcPeer()
    {
        release();
        if (thread_.joinable())
            thread_.join();
        for (const int fd : {listener_, release_[0], release_[1]})
            ::close(fd);
    }

    QString path() const { return path_; }
    // Waits for the route to close the connection: false when it did not
    // within a guard.
    bool waitForClose()
    {
        if (thread_.joinable())
            thread_.join();
        return closed_;
    }
    // Lets `then` go, after the route's constructor has returned.
    void release()
    {
        const char byte = 1;
        if (!released_.exchange(true))
            [[maybe_unused]] const ssize_t n = ::write(release_[1], &byte, 1);
    }

private:
    void serve()
    {
        const int peer = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer < 0)
            return;
        char buffer[4096];
        const auto sendAll = [peer](const QByteArray& out) {
            for (qsizetype sent = 0; sent < out.size();) {
                const ssize_t n = ::send(peer, out.constData() + sent, out.size() - sent, MSG_NOSIGNAL);
                if (n <= 0)
                    return; // the route closed the connection
                sent += n;
            }
        };
        sendAll(ipcMessage(2, R"({"success":true})") + ipcMessage(4, "{}"));
        if (::read(release_[0], buffer, 1) == 1)
            sendAll(then_);
        pollfd ready{peer, POLLIN, 0};
        while (::poll(&ready, 1, 10000) == 1) { // a guard, never reached when the route does its part
            if (::read(peer, buffer, sizeof buffer) <= 0) {
                closed_ = true;
                break;
            }
        }
        ::close(peer);
    }

    QTemporaryDir dir_;
    QString path_ = dir_.path() + QStringLiteral("/ipc.sock");
    QByteArray then_;
    int listener_ = -1;
    int release_[2] = {-1, -1};
    std::atomic<bool> released_{false};
    bool closed_ = false; // read once the thread has ended
    std::thread thread_;
};

// A header that breaks the protocol (another magic, a length no real message
// has) ends the connection: nothing after it is read or kept. A message just
// at the limit is still taken.
TEST(SwayIpcTest, ABadHeaderClosesTheConnection)
{
    test::ensureApplication();
    constexpr std::uint32_t kLimit = 4 * 1024 * 1024;
    QByteArray atLimit = focusEvent("org.example.Gtk");
    atLimit.append(QByteArray(kLimit - atLimit.size(), ' '));
    const QByteArray later = ipcMessage(kWindowEvent, focusEvent("org.example.Editor"));
    const struct {
        const char* what;
        QByteArray bytes;
        bool kept;
    } cases[] = {
        {"another magic", QByteArray("i3-ipX") + ipcMessage(kWindowEvent, focusEvent("org.example.Gtk")).mid(6), false},
        {"a length over the limit", ipcMessage(kWindowEvent, {}, kLimit + 1), false},
        {"the largest length", ipcMessage(kWindowEvent, {}, 0xffffffffu), false},
        {"a message at the limit", ipcMessage(kWindowEvent, atLimit), true},
    };
    for (const auto& c : cases) {
        FakeIpcPeer peer(c.bytes + later);
        SwayActiveWindow route(peer.path());
        ASSERT_TRUE(route.isTracking()) << c.what;
        int changes = 0;
        route.onChanged = [&] { ++changes; };
        peer.release();
        if (c.kept) {
            EXPECT_TRUE(waitUntil([&] {
                return route.active() && route.active()->applicationId == QStringLiteral("org.example.Editor");
            })) << c.what;
            EXPECT_TRUE(route.isTracking()) << c.what;
        } else {
            EXPECT_TRUE(waitUntil([&] { return !route.isTracking(); })) << c.what;
            EXPECT_TRUE(peer.waitForClose()) << c.what;
            EXPECT_EQ(route.active(), std::nullopt) << c.what;
            EXPECT_EQ(changes, 1) << c.what;
        }
    }
}

TEST(SwayTreeTest, TheFocusedNodeOfATreeIsTheActiveWindow)
{
    // Trimmed from a real GET_TREE: an Xwayland window floating beside a
    // native one; only what the route reads is kept.
    const QByteArray tree = R"({"id":1,"type":"root","nodes":[{"id":3,"type":"output","nodes":[
        {"id":4,"type":"workspace","focused":false,"nodes":[
            {"id":5,"type":"con","app_id":"org.example.Gtk","focused":false,"pid":0,"nodes":[]}],
         "floating_nodes":[
            {"id":6,"type":"floating_con","app_id":null,"focused":true,"pid":0,
             "window_properties":{"class":"ExampleEditorWindow","instance":"editor"},"nodes":[]}]}]}]})";
    const std::optional<WindowHints> hints = SwayActiveWindow::focusedIn(QJsonDocument::fromJson(tree).object());
    ASSERT_TRUE(hints);
    EXPECT_EQ(hints->applicationId, QString());
    EXPECT_EQ(hints->windowClass, QStringLiteral("ExampleEditorWindow"));
    EXPECT_EQ(hints->instance, QStringLiteral("editor"));
    // A focused workspace is no window.
    EXPECT_EQ(SwayActiveWindow::hintsOf(QJsonDocument::fromJson(R"({"type":"workspace","focused":true})").object()),
              std::nullopt);
}

} // namespace
} // namespace kestrune
