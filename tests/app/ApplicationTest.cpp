// The application as a user meets it, on a real X server with a tray: the
// icon appears, a click opens the panel under it, a second launch stands
// down, and quitting resets the keyboard. Also records the launch-to-icon
// time and the resident memory with the panel closed and open (figures for
// the record; nothing here asserts a timing).

#include "../linux/SystemTestSupport.h"
#include "FakeTrayHost.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <gtest/gtest.h>

using namespace kestrune;

namespace {

qint64 residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

class Application : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ensureApplication();
        ASSERT_TRUE(x_.isRunning()) << "Xvfb did not start";
        ASSERT_TRUE(tray_.isReady());
        QDir(home_.path()).mkpath(QStringLiteral("config"));
        QDir(home_.path()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(home_.path() + QStringLiteral("/runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(x_.display()));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.path() + QStringLiteral("/config"));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.path() + QStringLiteral("/runtime"));
        env_.insert(QStringLiteral("HOME"), home_.path());
        // The X11 tray, not a desktop's D-Bus one; and onboarding already seen.
        env_.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        QFile settings(home_.path() + QStringLiteral("/config/Kestrune/settings.json"));
        QDir().mkpath(home_.path() + QStringLiteral("/config/Kestrune"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(R"({"version": 1, "values": {"hasSeenOnboarding": true}})");
    }

    void start(QProcess& process)
    {
        process.setProcessEnvironment(env_);
        process.setProgram(QStringLiteral(KESTRUNE_BINARY));
        process.start();
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    test::XvfbServer x_{QStringLiteral("1280x800x24")};
    std::unique_ptr<test::FakeTrayHost> trayHost_ = std::make_unique<test::FakeTrayHost>(x_.display());
    test::FakeTrayHost& tray_ = *trayHost_;
    QTemporaryDir home_;
    QProcessEnvironment env_;
};

TEST_F(Application, TrayIconOpensThePanelOneInstanceRunsAndQuitResets)
{
    QProcess app;
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();
    start(app);
    ASSERT_TRUE(tray_.waitForIcon(30000)) << "the tray icon never docked";
    const qint64 launchToIconMs = sinceLaunch.elapsed();
    EXPECT_FALSE(tray_.mappedWindowTitled(QStringLiteral("Kestrune"))) << "the panel opened unasked";
    EXPECT_FALSE(tray_.mappedWindowTitled(QStringLiteral("Welcome to Kestrune"))) << "onboarding was already seen";
    const qint64 closedKiB = residentKiB(app.processId());

    tray_.clickIcon();
    std::optional<QRect> panel;
    ASSERT_TRUE(tray_.waitFor([&] { return bool(panel = tray_.mappedWindowTitled(QStringLiteral("Kestrune"))); }, 15000))
        << "a click on the icon did not open the panel";
    EXPECT_EQ(panel->size(), QSize(360, 490));
    // Right under the icon in the top bar, wholly on screen.
    EXPECT_GE(panel->top(), test::FakeTrayHost::kIconSize);
    EXPECT_LT(panel->top(), test::FakeTrayHost::kIconSize + 20);
    EXPECT_LE(panel->right(), 1279);
    EXPECT_TRUE(panel->contains(QPoint(tray_.iconCentre().x(), panel->center().y())) || panel->right() == 1279);
    // The panel as it looks on screen once drawn, beside the top bar's icon.
    const QRect seen(1280 - 420, 0, 420, 540);
    QImage shot;
    EXPECT_TRUE(tray_.waitFor(
        [&] {
            shot = tray_.grab(seen);
            return shot.pixelColor(panel->center() - seen.topLeft()) != QColor(Qt::black);
        },
        10000))
        << "the panel never drew";
    const qint64 openKiB = residentKiB(app.processId());
    const QString shots = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(shots);
    shot.save(shots + QStringLiteral("/application-panel.png"));

    // A click elsewhere takes activation from the panel, which closes it.
    tray_.focusElsewhere();
    EXPECT_TRUE(tray_.waitFor([&] { return !tray_.mappedWindowTitled(QStringLiteral("Kestrune")); }, 10000))
        << "the panel stayed open after it lost activation";

    // A second launch shows the running instance's panel and stands down.
    QProcess second;
    start(second);
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().contains("already running"));
    EXPECT_TRUE(tray_.waitFor([&] { return bool(tray_.mappedWindowTitled(QStringLiteral("Kestrune"))); }, 10000))
        << "the running instance did not show its panel";

    app.terminate();
    ASSERT_TRUE(app.waitForFinished(10000));
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.readAllStandardOutput().count("Quitting: the keyboards go back to the desktop as they were."), 1);

    RecordProperty("launch_to_tray_icon_ms", int(launchToIconMs));
    RecordProperty("rss_panel_closed_kib", int(closedKiB));
    RecordProperty("rss_panel_open_kib", int(openKiB));
    std::printf("launch to tray icon: %lld ms; resident memory: %lld KiB closed, %lld KiB open\n",
                static_cast<long long>(launchToIconMs), static_cast<long long>(closedKiB),
                static_cast<long long>(openKiB));
}

// kestrune --show to the running instance opens its panel; on a fresh
// start it opens the panel without a click; kestrune --quit ends either
// with its reset.
TEST_F(Application, ShowOpensThePanelAndQuitEndsTheInstance)
{
    const auto runToEnd = [this](const QString& option) {
        QProcess command;
        command.setArguments({option});
        start(command);
        EXPECT_TRUE(command.waitForFinished(15000)) << option.toStdString();
        EXPECT_EQ(command.exitCode(), 0) << option.toStdString();
        return command.readAllStandardOutput();
    };
    for (const bool fresh : {false, true}) {
        QProcess app;
        if (fresh)
            app.setArguments({QStringLiteral("--show")});
        start(app);
        if (!fresh) {
            ASSERT_TRUE(tray_.waitForIcon(30000));
            EXPECT_FALSE(tray_.mappedWindowTitled(QStringLiteral("Kestrune")));
            EXPECT_TRUE(runToEnd(QStringLiteral("--show")).contains("its panel is now shown"));
        }
        std::optional<QRect> panel;
        EXPECT_TRUE(tray_.waitFor([&] { return bool(panel = tray_.mappedWindowTitled(QStringLiteral("Kestrune"))); }, 30000))
            << (fresh ? "--show did not start Kestrune with its panel" : "--show did not reach the running one");
        // Beside the icon in the top bar, not in a corner of the screen.
        if (panel) {
            EXPECT_GE(panel->top(), test::FakeTrayHost::kIconSize) << fresh;
            EXPECT_LT(panel->top(), test::FakeTrayHost::kIconSize + 20) << fresh;
            EXPECT_GT(panel->left(), 640) << fresh;
        }

        EXPECT_EQ(runToEnd(QStringLiteral("--quit")), QByteArray("Kestrune has quit.\n"));
        ASSERT_TRUE(app.waitForFinished(1000)) << "--quit returned before the instance ended";
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(app.readAllStandardOutput().count("Quitting: the keyboards go back to the desktop as they were."), 1);
        EXPECT_TRUE(tray_.waitFor([&] { return !tray_.mappedWindowTitled(QStringLiteral("Kestrune")); }, 10000));
    }
}

// A first launch (an empty settings folder) opens the welcome guide on its
// own; Return walks it to Get Started, which records it, closes it and
// points at the tray icon.
TEST_F(Application, FirstLaunchShowsTheWelcomeWindow)
{
    QFile::remove(home_.path() + QStringLiteral("/config/Kestrune/settings.json"));
    QProcess app;
    start(app);
    std::optional<QRect> welcome;
    ASSERT_TRUE(tray_.waitFor([&] { return bool(welcome = tray_.mappedWindowTitled(QStringLiteral("Welcome to Kestrune"))); },
                              20000))
        << "no welcome window on a first launch";
    EXPECT_EQ(welcome->size(), QSize(500, 520));
    // Centred on the screen.
    EXPECT_NEAR(welcome->center().x(), 640, 40);
    QImage shot;
    EXPECT_TRUE(tray_.waitFor(
        [&] {
            shot = tray_.grab(*welcome);
            return shot.pixelColor(welcome->width() / 2, 20) != QColor(Qt::black);
        },
        10000));
    const QString shots = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(shots);
    shot.save(shots + QStringLiteral("/application-welcome.png"));
    QFile settings(home_.path() + QStringLiteral("/config/Kestrune/settings.json"));
    auto seen = [&] {
        settings.close();
        return settings.open(QIODevice::ReadOnly) && settings.readAll().contains("hasSeenOnboarding");
    };
    EXPECT_FALSE(seen());

    // Return three times, as the X server delivers keys: Next, Next, Get Started.
    constexpr uint8_t kReturn = 28 + 8;
    for (int page = 0; page < 2; ++page) {
        const QImage before = tray_.grab(*welcome);
        ASSERT_TRUE(tray_.pressKey(QStringLiteral("Welcome to Kestrune"), kReturn)) << "page " << page;
        EXPECT_TRUE(tray_.waitFor([&] { return tray_.grab(*welcome) != before; }, 10000)) << "page " << page;
    }
    tray_.grab(*welcome).save(shots + QStringLiteral("/application-welcome-2.png"));
    ASSERT_TRUE(tray_.pressKey(QStringLiteral("Welcome to Kestrune"), kReturn));
    EXPECT_TRUE(tray_.waitFor([&] { return !tray_.mappedWindowTitled(QStringLiteral("Welcome to Kestrune")); }, 10000))
        << "Get Started did not close the guide";
    EXPECT_TRUE(seen());

    // The pointer comes under the tray icon (no compositor here: the arrow
    // alone), and goes when the icon opens the panel.
    std::optional<QRect> arrow;
    ASSERT_TRUE(tray_.waitFor([&] { return bool(arrow = tray_.mappedWindowTitled(QStringLiteral("Kestrune pointer"))); },
                              10000))
        << "no pointer after Get Started";
    EXPECT_EQ(arrow->size(), QSize(260, 90));
    EXPECT_EQ(arrow->top(), test::FakeTrayHost::kIconSize + 10);
    EXPECT_TRUE(arrow->right() == 1279 || std::abs(arrow->center().x() - tray_.iconCentre().x()) <= 1);
    EXPECT_FALSE(tray_.mappedWindowTitled(QStringLiteral("Kestrune spotlight")));
    // Drawn once faded in: the white arrow shows on its solid background.
    EXPECT_TRUE(tray_.waitFor(
        [&] {
            const QImage drawn = tray_.grab(*arrow);
            for (int y = 0; y < drawn.height(); y += 2)
                for (int x = 0; x < drawn.width(); x += 2)
                    if (drawn.pixelColor(x, y).lightnessF() > 0.9)
                        return true;
            return false;
        },
        10000))
        << "the pointer never drew";
    shot = tray_.grab(QRect(1280 - 420, 0, 420, 140));
    shot.save(shots + QStringLiteral("/application-pointer.png"));
    tray_.clickIcon();
    EXPECT_TRUE(tray_.waitFor([&] { return !tray_.mappedWindowTitled(QStringLiteral("Kestrune pointer")); }, 10000))
        << "the pointer stayed after the panel opened";

    app.terminate();
    ASSERT_TRUE(app.waitForFinished(10000));
}

// Closing the guide without "Get Started" records nothing.
TEST_F(Application, ClosingTheWelcomeWindowRecordsNothing)
{
    QFile::remove(home_.path() + QStringLiteral("/config/Kestrune/settings.json"));
    QProcess app;
    start(app);
    ASSERT_TRUE(tray_.waitFor([&] { return bool(tray_.mappedWindowTitled(QStringLiteral("Welcome to Kestrune"))); }, 20000));
    app.terminate();
    ASSERT_TRUE(app.waitForFinished(10000));
    QFile settings(home_.path() + QStringLiteral("/config/Kestrune/settings.json"));
    if (settings.open(QIODevice::ReadOnly)) {
        EXPECT_FALSE(settings.readAll().contains("hasSeenOnboarding"));
    }
}

// Without any tray the settings must still be reachable: after a moment's
// grace for a tray that starts late, the panel opens as an ordinary window.
class ApplicationWithoutTray : public Application {};

TEST_F(ApplicationWithoutTray, OpensThePanelAsAWindow)
{
    // No tray at all: the test's tray host gives up the selection.
    trayHost_.reset();
    test::FakeTrayHost observer(x_.display(), /*ownTray=*/false);
    ASSERT_TRUE(observer.isReady());
    QProcess app;
    start(app);
    std::optional<QRect> window;
    EXPECT_TRUE(observer.waitFor([&] { return bool(window = observer.mappedWindowTitled(QStringLiteral("Kestrune"))); },
                                 20000))
        << "no window opened without a tray";
    if (window) {
        EXPECT_EQ(window->size(), QSize(360, 490));
    }
    app.terminate();
    ASSERT_TRUE(app.waitForFinished(10000));
    EXPECT_EQ(app.readAllStandardOutput().count("Quitting: the keyboards go back to the desktop as they were."), 1);
}

} // namespace
