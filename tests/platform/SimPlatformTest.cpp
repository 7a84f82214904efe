#include "platform/HidKeyMapping.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <thread>

namespace kestrune {
namespace {

TEST(SimTranscript, FormatsEventsWithModifiersInAFixedOrder)
{
    using flags::kCommand, flags::kControl, flags::kOption, flags::kShift;
    const auto format = [](EventType type, KeyCode code, uint64_t f, int64_t user = 0) {
        return SimTranscript::formatEvent({type, code, f, user});
    };
    EXPECT_EQ(format(EventType::KeyDown, 0, 0), "out down 0 -");
    EXPECT_EQ(format(EventType::KeyUp, 126, kShift | kCommand), "out up 126 cmd+shift");
    EXPECT_EQ(format(EventType::FlagsChanged, 55, kShift | kControl | kOption | kCommand | flags::kAlphaShift),
              "out flags 55 cmd+opt+ctrl+shift");
    EXPECT_EQ(format(EventType::KeyDown, 80, kControl | kOption, kSelfGeneratedEventMarker),
              "out down 80 opt+ctrl synthetic");
    EXPECT_EQ(format(EventType::KeyDown, 80, 0, 1), "out down 80 -");
}

TEST(SimTranscript, StampsLinesWithTheVirtualClockAndEchoesThem)
{
    VirtualScheduler clock;
    SimTranscript transcript(clock);
    QStringList echoed;
    transcript.setEcho([&](const QString& line) { echoed << line; });
    transcript.add(QStringLiteral("first"));
    clock.advanceBy(Millis(1200));
    transcript.add(QStringLiteral("second"));
    EXPECT_EQ(transcript.lines(), QStringList({"0 first", "1200 second"}));
    EXPECT_EQ(echoed, transcript.lines());
    transcript.clear();
    transcript.setEcho({});
    transcript.add(QStringLiteral("third"));
    EXPECT_EQ(transcript.lines(), QStringList({"1200 third"}));
    EXPECT_EQ(echoed.size(), 2);
}

TEST(SimShell, RecordsCommandsAndKeepsTheMappingTheLastMappingCommandSet)
{
    VirtualScheduler clock;
    SimTranscript transcript(clock);
    SimShell shell(transcript);
    EXPECT_FALSE(shell.isCapsLockMappedToF19());
    shell.run(kApplyMappingCommand);
    EXPECT_TRUE(shell.isCapsLockMappedToF19());
    shell.run(QStringLiteral("echo unrelated"));
    EXPECT_TRUE(shell.isCapsLockMappedToF19());
    shell.run(QStringLiteral(
        "hidutil property --set '{\"UserKeyMapping\":[{\"HIDKeyboardModifierMappingSrc\":0x700000039,"
        "\"HIDKeyboardModifierMappingDst\":0x700000029}]}'"));
    EXPECT_FALSE(shell.isCapsLockMappedToF19());
    shell.run(kApplyMappingCommand);
    shell.run(kResetMappingCommand);
    EXPECT_FALSE(shell.isCapsLockMappedToF19());
    EXPECT_EQ(shell.commands().size(), 5);
    EXPECT_EQ(transcript.lines().at(1), "0 shell echo unrelated");
    EXPECT_TRUE(shell.waitForIdle(Millis(0)));
}

TEST(SimServices, InjectedFailuresAndWhatTheyLeaveBehind)
{
    VirtualScheduler clock;
    SimTranscript transcript(clock);

    SimDevices devices;
    int arrivals = 0;
    devices.arrive();
    devices.setFailStart(true);
    EXPECT_EQ(devices.start([&] { ++arrivals; }), -1);
    EXPECT_FALSE(devices.isStarted());
    devices.setFailStart(false);
    devices.setInitialDeviceCount(3);
    EXPECT_EQ(devices.start([&] { ++arrivals; }), 3);
    devices.arrive();
    devices.stop();
    devices.arrive();
    EXPECT_EQ(arrivals, 1);

    SimCapsLock caps(transcript);
    EXPECT_EQ(caps.lockState(), false);
    caps.setState(true); // the user's own toggle: no line
    caps.setReadable(false);
    EXPECT_EQ(caps.lockState(), std::nullopt);
    EXPECT_TRUE(caps.setLockState(false));
    caps.setWritable(false);
    EXPECT_FALSE(caps.setLockState(true));
    EXPECT_FALSE(caps.state());
    caps.setWritable(true);
    EXPECT_TRUE(caps.setLockState(true));
    EXPECT_EQ(transcript.lines(), QStringList({"0 capslock off", "0 capslock on"}));

    SimLoginItem login;
    QString error;
    EXPECT_EQ(login.status(), LoginItemStatus::NotRegistered);
    EXPECT_TRUE(login.registerItem(&error));
    EXPECT_EQ(login.status(), LoginItemStatus::Enabled);
    login.setFailure(QStringLiteral("Operation not permitted"));
    EXPECT_FALSE(login.unregisterItem(&error));
    EXPECT_EQ(error, "Operation not permitted");
    EXPECT_EQ(login.status(), LoginItemStatus::Enabled);
    login.setFailure({});
    EXPECT_TRUE(login.unregisterItem(nullptr));
    EXPECT_EQ(login.status(), LoginItemStatus::NotRegistered);
    EXPECT_EQ(login.registerCount(), 1);
    EXPECT_EQ(login.unregisterCount(), 2);
}

// Passes every event through; runs the platform's tap on its own thread.
class PassHandler final : public EventHandler {
public:
    bool handleEvent(KeyEvent&) override { return true; }
};

TEST(SimPlatform, WiresOnePieceOfEachAndStoresDefaultsInTheFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        SimPlatform sim(dir.path());
        Platform p = sim.platform();
        EXPECT_EQ(&p.scheduler, &sim.scheduler());
        EXPECT_EQ(&p.keyboard, &sim.keyboard());
        EXPECT_EQ(&p.shell, &sim.shell());
        EXPECT_EQ(&p.capsLock, &sim.capsLock());
        EXPECT_EQ(&p.workspace, &sim.workspace());
        p.defaults.setValue(QStringLiteral("hyper"), true);
        p.console.printLine(QStringLiteral("hello"));
        EXPECT_EQ(sim.transcript().lines(), QStringList({"0 print hello"}));
    }
    SimPlatform again(dir.path());
    EXPECT_EQ(again.defaults().boolValue(QStringLiteral("hyper")), true);

    MemoryDefaults memory;
    SimPlatform withMemory(memory);
    EXPECT_EQ(&withMemory.platform().defaults, &memory);
}

TEST(SimPlatform, MainQueueWorkReturnsOnlyOnceTheTapThreadHasSettled)
{
    MemoryDefaults memory;
    SimPlatform sim(memory);
    PassHandler handler;
    std::unique_ptr<EventTap> tap;
    std::thread tapThread([&] {
        tap = sim.keyboard().createTap(kKeyboardEventMask, handler);
        tap->run();
    });
    ASSERT_TRUE(sim.keyboard().waitForRunningTap());
    sim.scheduler().postAfter(Millis(200), [&] {
        sim.keyboard().post({EventType::KeyDown, kc::kVK_Escape, 0, kSelfGeneratedEventMarker});
    });
    sim.scheduler().advanceBy(Millis(199));
    EXPECT_TRUE(sim.transcript().lines().isEmpty());
    sim.scheduler().advanceBy(Millis(1));
    EXPECT_EQ(sim.transcript().lines(), QStringList({"200 out down 53 - synthetic"}));
    sim.keyboard().waitIdle();
    tap->stop();
    tapThread.join();
    tap.reset();
}

} // namespace
} // namespace kestrune
