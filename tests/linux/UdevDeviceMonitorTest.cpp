// The device monitor against a scripted udev: which devices count as
// keyboards, and how events read in one wake-up become one notice.

#include "platform/linux/UdevDeviceMonitor.h"

#include "SystemTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

#include <deque>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kestrune {
namespace {

using test::waitUntil;

InputDevice device(const char* action, const char* sysname, QHash<QByteArray, QByteArray> properties,
                   const char* name = "")
{
    InputDevice d;
    d.action = action;
    d.sysname = sysname;
    d.syspath = QByteArray("/sys/devices/virtual/input/") + sysname;
    if (d.sysname.startsWith("event"))
        d.devnode = "/dev/input/" + d.sysname;
    d.name = QString::fromUtf8(name);
    d.properties = std::move(properties);
    return d;
}

const QHash<QByteArray, QByteArray> kKeyboard{{"ID_INPUT", "1"}, {"ID_INPUT_KEY", "1"}, {"ID_INPUT_KEYBOARD", "1"}};
const QHash<QByteArray, QByteArray> kMouse{{"ID_INPUT", "1"}, {"ID_INPUT_MOUSE", "1"}};
const QHash<QByteArray, QByteArray> kPowerButton{{"ID_INPUT", "1"}, {"ID_INPUT_KEY", "1"}};

// A udev stand-in: an eventfd that is readable while scripted events wait.
class ScriptedSource final : public InputDeviceSource {
public:
    struct State {
        std::vector<InputDevice> present;
        std::deque<InputDevice> pending;
        int fd = -1;
        bool failOpen = false;
        int opens = 0;
    };
    explicit ScriptedSource(State& state)
        : s_(state)
    {
    }
    ~ScriptedSource() override { close(); }

    int open() override
    {
        ++s_.opens;
        if (s_.failOpen)
            return -1;
        s_.fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        return s_.fd;
    }
    std::vector<InputDevice> enumerate() override { return s_.present; }
    std::optional<InputDevice> receive() override
    {
        if (s_.pending.empty()) {
            eventfd_t drained = 0;
            ::eventfd_read(s_.fd, &drained);
            return std::nullopt;
        }
        InputDevice d = s_.pending.front();
        s_.pending.pop_front();
        return d;
    }
    void close() override
    {
        if (s_.fd >= 0)
            ::close(s_.fd);
        s_.fd = -1;
    }

private:
    State& s_;
};

class UdevDeviceMonitorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureApplication(); }

    UdevDeviceMonitorTest()
        : monitor(std::make_unique<ScriptedSource>(udev))
    {
        monitor.onKeyboardsChanged = [this] { ++changes; };
    }

    // Delivers a batch of events in one wake-up.
    void deliver(std::vector<InputDevice> batch)
    {
        for (InputDevice& d : batch)
            udev.pending.push_back(std::move(d));
        ::eventfd_write(udev.fd, 1);
    }
    bool waitForNotices(int wantedArrivals, int wantedChanges)
    {
        return waitUntil([&] { return arrivals >= wantedArrivals && changes >= wantedChanges; });
    }

    ScriptedSource::State udev;
    UdevDeviceMonitor monitor;
    int arrivals = 0;
    int changes = 0;
    std::function<void()> onArrival = [this] { ++arrivals; };
};

TEST_F(UdevDeviceMonitorTest, CountsKeyboardEventNodesOnly)
{
    monitor.isOwnDevice = [](const QString& name) { return name == QLatin1String("Kestrune virtual keyboard"); };
    udev.present = {
        device("", "input3", kKeyboard), // the input device above an event node: no node of its own
        device("", "event3", kKeyboard),
        device("", "event4", kMouse),
        device("", "event5", kPowerButton),
        device("", "event6", {{"ID_INPUT", "1"}, {"ID_INPUT_KEYBOARD", "0"}}),
        device("", "event7", kKeyboard, "Kestrune virtual keyboard"),
        device("", "event8", kKeyboard, "USB Keyboard"),
    };
    EXPECT_EQ(monitor.start(onArrival), 2);
    EXPECT_EQ(monitor.keyboardCount(), 2);

    // The count is the first batch: it is not announced.
    deliver({device("add", "event9", kKeyboard)});
    ASSERT_TRUE(waitForNotices(1, 1));
    EXPECT_EQ(arrivals, 1);
    EXPECT_EQ(monitor.keyboardCount(), 3);
}

TEST_F(UdevDeviceMonitorTest, EventsOfOneWakeUpMakeOneNotice)
{
    ASSERT_EQ(monitor.start(onArrival), 0);

    // A keyboard with a second interface, plugged in with a mouse.
    deliver({device("add", "input9", kKeyboard), device("add", "event9", kKeyboard),
             device("add", "input10", kKeyboard), device("add", "event10", kKeyboard),
             device("add", "event11", kMouse)});
    ASSERT_TRUE(waitForNotices(1, 1));
    EXPECT_EQ(arrivals, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(monitor.keyboardCount(), 2);

    deliver({device("add", "event12", kKeyboard)});
    ASSERT_TRUE(waitForNotices(2, 2));
    EXPECT_EQ(arrivals, 2);
    EXPECT_EQ(changes, 2);
}

TEST_F(UdevDeviceMonitorTest, RemovalsAndRepeatsAreTold)
{
    udev.present = {device("", "event3", kKeyboard), device("", "event4", kMouse)};
    ASSERT_EQ(monitor.start(onArrival), 1);

    // Announced again although listed (it came between listening and
    // listing), changed in place, a mouse leaving: none of it is news. The
    // keyboard leaving changes the set without arriving.
    deliver({device("add", "event3", kKeyboard), device("change", "event3", kKeyboard),
             device("remove", "event4", {}), device("remove", "event3", {})});
    ASSERT_TRUE(waitForNotices(0, 1));
    EXPECT_EQ(arrivals, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(monitor.keyboardCount(), 0);

    // Unplugged and plugged back within one wake-up: it is back.
    deliver({device("add", "event20", kKeyboard)});
    ASSERT_TRUE(waitForNotices(1, 2));
    deliver({device("remove", "event20", {}), device("add", "event20", kKeyboard)});
    ASSERT_TRUE(waitForNotices(2, 3));
    EXPECT_EQ(monitor.keyboardCount(), 1);

    // A change that takes the keyboard mark away is a keyboard leaving.
    deliver({device("change", "event20", {{"ID_INPUT", "1"}})});
    ASSERT_TRUE(waitForNotices(2, 4));
    EXPECT_EQ(monitor.keyboardCount(), 0);
    EXPECT_EQ(arrivals, 2);
}

TEST_F(UdevDeviceMonitorTest, StartFailsCleanlyAndStopsFromItsOwnHooks)
{
    udev.failOpen = true;
    EXPECT_EQ(monitor.start(onArrival), -1);
    EXPECT_FALSE(monitor.isWatching());

    udev.failOpen = false;
    udev.present = {device("", "event3", kKeyboard)};
    // A hook that stops watching, as the remapper's stop does.
    ASSERT_EQ(monitor.start([this] {
        ++arrivals;
        monitor.stop();
    }),
              1);
    monitor.onKeyboardsChanged = [this] { ++changes; };
    deliver({device("add", "event4", kKeyboard)});
    ASSERT_TRUE(waitForNotices(1, 1));
    EXPECT_FALSE(monitor.isWatching());
    EXPECT_EQ(udev.fd, -1) << "stopping closes udev";

    // Restarting lists afresh; stopping twice is harmless.
    udev.present = {device("", "event3", kKeyboard), device("", "event4", kKeyboard)};
    EXPECT_EQ(monitor.start(onArrival), 2);
    monitor.onKeyboardsChanged = [this] {
        ++changes;
        monitor.stop(); // before the arrival hook: that one must not run
    };
    deliver({device("add", "event5", kKeyboard)});
    ASSERT_TRUE(waitForNotices(1, 2));
    EXPECT_EQ(arrivals, 1);
    monitor.stop();
    monitor.stop();
    EXPECT_EQ(udev.opens, 3);
}

TEST(UdevSystemTest, ListsTheMachinesKeyboards)
{
    test::ensureApplication();
    UdevDeviceMonitor monitor;
    const int present = monitor.start([] {});
    // Without netlink (some containers) watching is refused; with it, the
    // count cannot exceed the event nodes there are.
    if (present < 0)
        GTEST_SKIP() << "udev cannot be watched here";
    const auto nodes = QDir(QStringLiteral("/sys/class/input")).entryList({QStringLiteral("event*")}, QDir::AllEntries);
    EXPECT_LE(present, nodes.size());
    EXPECT_TRUE(monitor.isWatching());
    monitor.stop();
    EXPECT_FALSE(monitor.isWatching());
}

} // namespace
} // namespace kestrune
