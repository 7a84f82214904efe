// The frontmost application on a real X server (Xvfb, started per test).
// There is no window manager: the test creates windows with xcb, gives them
// the properties programs set, and plays the window manager's part by
// setting _NET_ACTIVE_WINDOW on the root window.

#include "platform/linux/X11Workspace.h"

#include "DesktopFilesEnvironment.h"
#include "SystemTestSupport.h"

#include "base/QtScheduler.h"

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace kestrune {
namespace {

using test::waitUntil;

// The test's own X client, standing in for programs and the window manager.
class XClient {
public:
    explicit XClient(const QByteArray& display)
    {
        c_ = xcb_connect(display.constData(), nullptr);
        if (!xcb_connection_has_error(c_))
            root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~XClient() { xcb_disconnect(c_); }
    bool ok() const { return root_ != 0; }

    xcb_atom_t atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = reply->atom;
        std::free(reply);
        return a;
    }

    xcb_window_t window()
    {
        const xcb_window_t w = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, root_, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        return w;
    }
    void setWmClass(xcb_window_t w, const QByteArray& instance, const QByteArray& cls)
    {
        const QByteArray value = instance + '\0' + cls + '\0';
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            static_cast<uint32_t>(value.size()), value.constData());
    }
    void setText(xcb_window_t w, const char* property, const QByteArray& value, xcb_atom_t type = XCB_ATOM_STRING)
    {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom(property), type, 8, static_cast<uint32_t>(value.size()),
                            value.constData());
    }
    void setMachine(xcb_window_t w, const QByteArray& host)
    {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8,
                            static_cast<uint32_t>(host.size()), host.constData());
    }
    void setPid(xcb_window_t w, uint32_t pid)
    {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    }
    // The window manager's part.
    void activate(xcb_window_t w)
    {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, root_, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1, &w);
        xcb_flush(c_);
    }
    void announceSupport()
    {
        const xcb_atom_t supported[] = {atom("_NET_SUPPORTED"), atom("_NET_ACTIVE_WINDOW")};
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, root_, supported[0], XCB_ATOM_ATOM, 32, 2, supported);
        xcb_flush(c_);
    }
    void withdrawSupport()
    {
        xcb_delete_property(c_, root_, atom("_NET_SUPPORTED"));
        xcb_delete_property(c_, root_, atom("_NET_ACTIVE_WINDOW"));
        xcb_flush(c_);
    }
    void flush() { xcb_flush(c_); }

private:
    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
};

QByteArray hostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    ::gethostname(name, sizeof name - 1);
    return QByteArray(name);
}

class X11WorkspaceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureApplication(); }

    void SetUp() override
    {
        ASSERT_TRUE(server.isRunning()) << "Xvfb did not start";
        client = std::make_unique<XClient>(server.display());
        ASSERT_TRUE(client->ok());
    }

    void observe(X11Workspace& workspace)
    {
        workspace.addDeactivationObserver([this](const std::optional<QString>& id) { deactivated.push_back(id); });
        workspace.addActivationObserver([this](const std::optional<QString>& id) { activated.push_back(id); });
    }
    bool waitForActivations(size_t count)
    {
        return waitUntil([&] { return activated.size() >= count; });
    }

    test::XvfbServer server;
    std::unique_ptr<XClient> client;
    QtScheduler scheduler;
    std::vector<std::optional<QString>> activated, deactivated;
};

TEST_F(X11WorkspaceTest, TheActiveWindowNamesTheFrontmostApplication)
{
    XClient& x = *client;
    const xcb_window_t editor = x.window();
    x.setWmClass(editor, "editor", "ExampleEditorWindow");
    const xcb_window_t editor2 = x.window();
    x.setWmClass(editor2, "editor", "ExampleEditorWindow");
    const xcb_window_t gtk = x.window();
    x.setWmClass(gtk, "gtk-app", "Gtk-app");
    x.setText(gtk, "_GTK_APPLICATION_ID", "org.example.Gtk", x.atom("UTF8_STRING"));
    const xcb_window_t kde = x.window();
    x.setText(kde, "_KDE_NET_WM_DESKTOP_FILE", "org.example.Kde", x.atom("UTF8_STRING"));
    const xcb_window_t term = x.window();
    x.setWmClass(term, "fancyterm", "FancyTerm");
    // Known only by its process: this test program.
    const xcb_window_t self = x.window();
    x.setWmClass(self, "unknown", "Unknown-Class");
    x.setPid(self, static_cast<uint32_t>(::getpid()));
    x.setMachine(self, hostName());
    // The same process id from another machine says nothing about this one.
    const xcb_window_t remote = x.window();
    x.setWmClass(remote, "remote", "Remote");
    x.setPid(remote, static_cast<uint32_t>(::getpid()));
    x.setMachine(remote, "elsewhere.example");
    x.activate(editor);

    X11Workspace workspace(scheduler, server.display());
    ASSERT_TRUE(workspace.canTrackActiveWindow());
    EXPECT_EQ(workspace.frontmostBundleId(), QStringLiteral("org.example.Editor")) << "read at construction";
    observe(workspace);

    const std::vector<std::pair<xcb_window_t, std::optional<QString>>> steps{
        {gtk, QStringLiteral("org.example.Gtk")},  {kde, QStringLiteral("org.example.Kde")},
        {term, QStringLiteral("fancyterm")},        {self, QStringLiteral("selftest")},
        {remote, QStringLiteral("Remote")},         {XCB_WINDOW_NONE, std::nullopt},
        {editor, QStringLiteral("org.example.Editor")},
    };
    std::optional<QString> previous = QStringLiteral("org.example.Editor");
    for (size_t i = 0; i < steps.size(); ++i) {
        x.activate(steps[i].first);
        ASSERT_TRUE(waitForActivations(i + 1)) << "step " << i;
        EXPECT_EQ(activated[i], steps[i].second) << "step " << i;
        EXPECT_EQ(deactivated[i], previous) << "step " << i;
        EXPECT_EQ(workspace.frontmostBundleId(), steps[i].second) << "step " << i;
        previous = steps[i].second;
    }

    // Another window of the same application is no activation; the next
    // application's is, and it is the only notice.
    x.activate(editor2);
    x.activate(gtk);
    ASSERT_TRUE(waitForActivations(steps.size() + 1));
    EXPECT_EQ(activated.back(), QStringLiteral("org.example.Gtk"));
    EXPECT_EQ(activated.size(), steps.size() + 1);
}

TEST_F(X11WorkspaceTest, WithoutAWindowManagerNothingIsTrackedUntilOneStarts)
{
    XClient& x = *client;
    const xcb_window_t editor = x.window();
    x.setWmClass(editor, "editor", "ExampleEditorWindow");
    x.flush();

    X11Workspace workspace(scheduler, server.display());
    EXPECT_FALSE(workspace.canTrackActiveWindow());
    EXPECT_EQ(workspace.frontmostBundleId(), std::nullopt);
    observe(workspace);
    int trackingChanges = 0;
    QObject::connect(&workspace, &X11Workspace::canTrackActiveWindowChanged, [&] { ++trackingChanges; });

    // A window manager starts, announcing the property before setting it.
    x.announceSupport();
    ASSERT_TRUE(waitUntil([&] { return trackingChanges == 1; }));
    EXPECT_TRUE(workspace.canTrackActiveWindow());
    EXPECT_TRUE(activated.empty()) << "no window is active yet";
    x.activate(editor);
    ASSERT_TRUE(waitForActivations(1));
    EXPECT_EQ(activated[0], QStringLiteral("org.example.Editor"));

    // It goes away: the frontmost application is unknown, and no notice says
    // otherwise, so whoever relies on them keeps their state.
    x.withdrawSupport();
    ASSERT_TRUE(waitUntil([&] { return trackingChanges == 2; }));
    EXPECT_FALSE(workspace.canTrackActiveWindow());
    EXPECT_EQ(workspace.frontmostBundleId(), std::nullopt);
    EXPECT_EQ(activated.size(), 1u);
    EXPECT_EQ(deactivated.size(), 1u);
}

TEST_F(X11WorkspaceTest, TheServerGoingAwayStopsTracking)
{
    XClient& x = *client;
    const xcb_window_t editor = x.window();
    x.setWmClass(editor, "editor", "ExampleEditorWindow");
    x.activate(editor);
    X11Workspace workspace(scheduler, server.display());
    ASSERT_TRUE(workspace.canTrackActiveWindow());
    observe(workspace);

    server.kill();
    ASSERT_TRUE(waitUntil([&] { return !workspace.canTrackActiveWindow(); }));
    EXPECT_EQ(workspace.frontmostBundleId(), std::nullopt);
    EXPECT_TRUE(activated.empty());
    EXPECT_TRUE(workspace.applicationAt(QUrl(QStringLiteral("org.example.Editor")))) << "applications are still known";
}

TEST_F(X11WorkspaceTest, NoDisplayAndWaylandSessionsTrackNothing)
{
    XClient& x = *client;
    const xcb_window_t editor = x.window();
    x.setWmClass(editor, "editor", "ExampleEditorWindow");
    x.announceSupport();
    x.activate(editor);

    const X11Workspace noDisplay(scheduler, QByteArrayLiteral(":not-a-display"));
    EXPECT_FALSE(noDisplay.canTrackActiveWindow());
    EXPECT_EQ(noDisplay.frontmostBundleId(), std::nullopt);

    // Under Wayland, X11 sees only its own clients: a native window in front
    // would leave an X11 one looking frontmost.
    for (const auto& [name, value] : {std::pair{"XDG_SESSION_TYPE", "wayland"}, std::pair{"WAYLAND_DISPLAY", "wayland-0"}}) {
        qputenv(name, value);
        const X11Workspace wayland(scheduler, server.display());
        qunsetenv(name);
        EXPECT_FALSE(wayland.canTrackActiveWindow()) << name;
        EXPECT_EQ(wayland.frontmostBundleId(), std::nullopt) << name;
    }
    const X11Workspace x11(scheduler, server.display());
    EXPECT_TRUE(x11.canTrackActiveWindow());
}

} // namespace
} // namespace kestrune
