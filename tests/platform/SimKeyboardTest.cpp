#include "base/VirtualScheduler.h"
#include "platform/HidKeyMapping.h"
#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimServices.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <thread>

namespace kestrune {
namespace {

using namespace kc;

constexpr KeyEvent down(KeyCode code, uint64_t f = 0) { return {EventType::KeyDown, code, f, 0}; }
constexpr KeyEvent up(KeyCode code, uint64_t f = 0) { return {EventType::KeyUp, code, f, 0}; }
constexpr KeyEvent synthetic(KeyEvent e)
{
    e.userData = kSelfGeneratedEventMarker;
    return e;
}

// Records what it sees and lets `react` decide; runs on the tap thread. The
// driver reads `seen` only after a driver call returned, which orders it
// after the handling.
class TestHandler final : public EventHandler {
public:
    std::function<bool(KeyEvent&)> react;
    std::vector<KeyEvent> seen;

    bool handleEvent(KeyEvent& event) override
    {
        seen.push_back(event);
        return react ? react(event) : true;
    }
};

// A real tap thread: creates the tap, runs it until stopped, and destroys it
// once the test lets go of it (a test may stop it from inside the handler).
class TapThread {
public:
    TapThread(SimKeyboard& keyboard, EventHandler& handler, uint64_t mask = kKeyboardEventMask)
    {
        std::promise<EventTap*> created;
        auto ready = created.get_future();
        thread_ = std::thread([&keyboard, &handler, mask, created = std::move(created),
                               release = release_.get_future()]() mutable {
            auto tap = keyboard.createTap(mask, handler);
            created.set_value(tap.get());
            if (!tap)
                return;
            tap->run();
            release.wait();
        });
        tap_ = ready.get();
        if (tap_)
            EXPECT_TRUE(keyboard.waitForRunningTap());
        else
            stop();
    }
    ~TapThread() { stop(); }

    EventTap* tap() const { return tap_; }
    void stop()
    {
        if (!thread_.joinable())
            return;
        if (tap_)
            tap_->stop();
        release_.set_value();
        thread_.join();
        tap_ = nullptr;
    }

private:
    std::promise<void> release_;
    std::thread thread_;
    EventTap* tap_ = nullptr;
};

class SimKeyboardTest : public ::testing::Test {
protected:
    QStringList output() const
    {
        QStringList lines = transcript.lines();
        for (QString& line : lines)
            line = line.section(QLatin1Char(' '), 1); // without the time stamp
        return lines;
    }

    VirtualScheduler clock;
    SimTranscript transcript{clock};
    SimShell shell{transcript};
    SimTrust trust;
    SimKeyboard keyboard{transcript, shell, trust};
    TestHandler handler;
};

TEST_F(SimKeyboardTest, WithoutATapEventsReachTheOutputDirectly)
{
    keyboard.inject(down(kVK_ANSI_A, flags::kShift));
    keyboard.post(synthetic(up(kVK_ANSI_A)));
    EXPECT_EQ(output(), QStringList({"out down 0 shift", "out up 0 - synthetic"}));
    EXPECT_FALSE(keyboard.hasInstalledTap());

    trust.setTrusted(false);
    TapThread thread(keyboard, handler);
    EXPECT_EQ(thread.tap(), nullptr);
    EXPECT_EQ(keyboard.tapsCreated(), 0);
}

TEST_F(SimKeyboardTest, HandlerPassesDropsAndModifiesOnTheTapThread)
{
    const auto driver = std::this_thread::get_id();
    std::thread::id handlerThread;
    handler.react = [&](KeyEvent& e) {
        handlerThread = std::this_thread::get_id();
        if (e.keyCode == kVK_ANSI_S)
            return false;
        if (e.keyCode == kVK_ANSI_D)
            e.flags |= flags::kCommand;
        return true;
    };
    TapThread thread(keyboard, handler);
    EXPECT_TRUE(keyboard.hasInstalledTap());
    EXPECT_EQ(keyboard.tapsCreated(), 1);

    keyboard.inject(down(kVK_ANSI_A));
    keyboard.inject(down(kVK_ANSI_S));
    keyboard.inject(down(kVK_ANSI_D, flags::kShift));
    EXPECT_EQ(output(), QStringList({"out down 0 -", "out down 2 cmd+shift"}));
    EXPECT_EQ(handler.seen, (std::vector{down(kVK_ANSI_A), down(kVK_ANSI_S), down(kVK_ANSI_D, flags::kShift)}));
    EXPECT_NE(handlerThread, driver);
}

TEST_F(SimKeyboardTest, SyntheticEventsFollowTheEventDuringWhichTheyWerePostedInOrder)
{
    handler.react = [&](KeyEvent& e) {
        if (e == down(kVK_ANSI_A)) {
            keyboard.post(synthetic(down(kVK_ANSI_H)));
            keyboard.post(synthetic(up(kVK_ANSI_H)));
            return false;
        }
        if (e == synthetic(down(kVK_ANSI_H)))
            keyboard.post(synthetic(down(kVK_ANSI_J))); // goes behind H up
        return true;
    };
    TapThread thread(keyboard, handler);
    keyboard.inject(down(kVK_ANSI_A));
    keyboard.inject(up(kVK_ANSI_A));
    EXPECT_EQ(output(), QStringList({"out down 4 - synthetic", "out up 4 - synthetic", "out down 38 - synthetic",
                                     "out up 0 -"}));
    EXPECT_EQ(handler.seen.size(), 5u);
}

TEST_F(SimKeyboardTest, PostFromTheDriverWhileATapRunsGoesThroughTheHandler)
{
    handler.react = [](KeyEvent& e) { return e.keyCode != kVK_ANSI_S; };
    TapThread thread(keyboard, handler);
    keyboard.post(synthetic(down(kVK_ANSI_A)));
    keyboard.post(synthetic(down(kVK_ANSI_S)));
    keyboard.waitIdle();
    EXPECT_EQ(handler.seen, (std::vector{synthetic(down(kVK_ANSI_A)), synthetic(down(kVK_ANSI_S))}));
    EXPECT_EQ(output(), QStringList({"out down 0 - synthetic"}));
}

TEST_F(SimKeyboardTest, StoppingEndsRunAndLetsEventsThrough)
{
    TapThread thread(keyboard, handler);
    thread.stop(); // joins: run() returned
    EXPECT_FALSE(keyboard.hasInstalledTap());
    keyboard.inject(down(kVK_ANSI_A));
    keyboard.post(synthetic(up(kVK_ANSI_A)));
    EXPECT_TRUE(handler.seen.empty());
    EXPECT_EQ(output(), QStringList({"out down 0 -", "out up 0 - synthetic"}));
}

TEST_F(SimKeyboardTest, StoppingDuringAnEventLetsWhatItPostedThroughAfterIt)
{
    TapThread thread(keyboard, handler);
    EventTap* tap = thread.tap();
    handler.react = [&](KeyEvent& e) {
        if (e.keyCode == kVK_ANSI_A) {
            keyboard.post(synthetic(down(kVK_ANSI_H)));
            keyboard.post(synthetic(up(kVK_ANSI_H)));
            tap->stop();
        }
        return true;
    };
    keyboard.inject(down(kVK_ANSI_A));
    EXPECT_FALSE(keyboard.hasInstalledTap());
    EXPECT_EQ(output(), QStringList({"out down 0 -", "out down 4 - synthetic", "out up 4 - synthetic"}));
    EXPECT_EQ(handler.seen.size(), 1u);
}

TEST_F(SimKeyboardTest, DisabledTapLetsEventsThroughUntilEnabledAgain)
{
    TapThread thread(keyboard, handler);
    handler.react = [](KeyEvent&) { return false; };
    thread.tap()->setEnabled(false);
    EXPECT_FALSE(keyboard.isTapEnabled());
    keyboard.inject(down(kVK_ANSI_A));
    keyboard.post(synthetic(up(kVK_ANSI_A)));
    thread.tap()->setEnabled(true);
    keyboard.inject(down(kVK_ANSI_S));
    EXPECT_EQ(output(), QStringList({"out down 0 -", "out up 0 - synthetic"}));
    EXPECT_EQ(handler.seen, std::vector{down(kVK_ANSI_S)});
}

TEST_F(SimKeyboardTest, TapDisabledNoticesReachTheHandlerAndRecordNothing)
{
    TapThread thread(keyboard, handler);
    EventTap* tap = thread.tap();
    std::vector<bool> enabledWhenNoticed;
    handler.react = [&](KeyEvent& e) {
        if (e.type == EventType::TapDisabledByTimeout || e.type == EventType::TapDisabledByUserInput) {
            enabledWhenNoticed.push_back(keyboard.isTapEnabled());
            if (e.type == EventType::TapDisabledByTimeout)
                tap->setEnabled(true);
        }
        return true;
    };
    keyboard.injectTapDisabled(EventType::TapDisabledByTimeout);
    EXPECT_TRUE(keyboard.isTapEnabled());
    keyboard.injectTapDisabled(EventType::TapDisabledByUserInput);
    EXPECT_EQ(enabledWhenNoticed, (std::vector{false, true}));
    EXPECT_TRUE(transcript.lines().isEmpty());

    // A handler that does not re-enable leaves the tap off: keys pass untouched.
    handler.react = [](KeyEvent&) { return false; };
    keyboard.injectTapDisabled(EventType::TapDisabledByTimeout);
    EXPECT_FALSE(keyboard.isTapEnabled());
    keyboard.inject(down(kVK_ANSI_A));
    EXPECT_EQ(output(), QStringList({"out down 0 -"}));

    thread.stop();
    keyboard.injectTapDisabled(EventType::TapDisabledByTimeout); // no tap: nothing happens
    EXPECT_EQ(handler.seen.size(), 3u);
}

TEST_F(SimKeyboardTest, CapsLockGivesF19OnlyWhileTheMappingIsInForce)
{
    keyboard.physicalPress(kVK_CapsLock);
    shell.run(kApplyMappingCommand);
    keyboard.physicalPress(kVK_CapsLock);
    // A press keeps the key it went down as, even if the mapping changes under it.
    keyboard.physicalDown(kVK_CapsLock);
    shell.run(kResetMappingCommand);
    keyboard.physicalUp(kVK_CapsLock);
    keyboard.physicalPress(kVK_CapsLock);
    EXPECT_EQ(output(), QStringList({"out flags 57 -", "out flags 57 -", "shell " + kApplyMappingCommand,
                                     "out down 80 -", "out up 80 -", "out down 80 -", "shell " + kResetMappingCommand,
                                     "out up 80 -", "out flags 57 -", "out flags 57 -"}));
}

TEST_F(SimKeyboardTest, ModifierFlagsCombineAndBothSidesShareABit)
{
    keyboard.physicalDown(kVK_Shift_L);
    keyboard.physicalDown(kVK_Shift_R);
    keyboard.physicalUp(kVK_Shift_L);
    keyboard.physicalDown(kVK_Command_R);
    keyboard.physicalDown(kVK_Option_L);
    keyboard.physicalDown(kVK_Control_R);
    keyboard.physicalPress(kVK_ANSI_A);
    keyboard.physicalPress(kVK_CapsLock);
    keyboard.physicalUp(kVK_Shift_R);
    keyboard.physicalUp(kVK_Command_R);
    keyboard.physicalUp(kVK_Option_L);
    keyboard.physicalUp(kVK_Control_R);
    EXPECT_EQ(output(), QStringList({
                            "out flags 56 shift",
                            "out flags 60 shift",
                            "out flags 56 shift",
                            "out flags 54 cmd+shift",
                            "out flags 58 cmd+opt+shift",
                            "out flags 62 cmd+opt+ctrl+shift",
                            "out down 0 cmd+opt+ctrl+shift",
                            "out up 0 cmd+opt+ctrl+shift",
                            "out flags 57 cmd+opt+ctrl+shift",
                            "out flags 57 cmd+opt+ctrl+shift",
                            "out flags 60 cmd+opt+ctrl",
                            "out flags 54 opt+ctrl",
                            "out flags 58 ctrl",
                            "out flags 62 -",
                        }));
    EXPECT_EQ(keyboard.physicalFlags(), 0u);
}

TEST_F(SimKeyboardTest, KeysDownInOutputFollowWhatWasRecorded)
{
    handler.react = [&](KeyEvent& e) {
        if (e == down(kVK_ANSI_W))
            return false; // dropped: never reached the output
        if (e == down(kVK_ANSI_H))
            keyboard.post(synthetic(down(kVK_LeftArrow)));
        return true;
    };
    keyboard.physicalDown(kVK_ANSI_A); // before the tap
    TapThread thread(keyboard, handler);
    keyboard.physicalDown(kVK_ANSI_W);
    keyboard.physicalDown(kVK_ANSI_S);
    keyboard.physicalDown(kVK_ANSI_H);
    keyboard.physicalUp(kVK_ANSI_A);
    keyboard.physicalDown(kVK_Shift_L); // flags changes hold no key
    EXPECT_EQ(keyboard.keysDownInOutput(), (std::vector<KeyCode>{kVK_ANSI_S, kVK_ANSI_H, kVK_LeftArrow}));
    keyboard.post(synthetic(up(kVK_LeftArrow)));
    keyboard.physicalUp(kVK_ANSI_S);
    keyboard.physicalUp(kVK_ANSI_H);
    EXPECT_TRUE(keyboard.keysDownInOutput().empty());
}

} // namespace
} // namespace kestrune
