// The Linux key path under faults: keyboards that vanish with keys held, the
// same key held on two keyboards, sleep with keys held, a switch to another
// user's session, and a tap that cannot be created although access is there.

#include "InputRig.h"

namespace kestrune::testing {
namespace {

class LinuxInputFaults : public ::testing::Test {
protected:
    InputRig rig;
    PipeKeyboard& kbd = rig.io.addKeyboard("/dev/input/event3");
    PipeKeyboard& pad = rig.io.addKeyboard("/dev/input/event5");
};

TEST_F(LinuxInputFaults, AKeyboardVanishingWithALoneKeyHeldGivesNoTap)
{
    rig.defaults.setValue(QStringLiteral("isCmdEisuKanaEnabled"), true);
    ASSERT_TRUE(rig.start());
    kbd.press(KEY_CAPSLOCK);
    rig.advance(Millis{300});
    kbd.vanish();
    EXPECT_EQ(rig.out(), Keys{}) << "Caps Lock held alone: no Escape";

    pad.press(KEY_LEFTMETA);
    EXPECT_EQ(rig.out(), Keys{"+KEY_LEFTMETA"});
    pad.vanish();
    EXPECT_EQ(rig.out(), Keys{"-KEY_LEFTMETA"}) << "Super released, but no Hanja (Eisu)";
    EXPECT_TRUE(rig.held.empty());

    // The keyboard comes back (Bluetooth, a KVM switch): taps work again.
    PipeKeyboard& back = rig.io.addKeyboard("/dev/input/event6");
    rig.keyboard.rescanDevices();
    rig.settle();
    back.press(KEY_CAPSLOCK);
    back.release(KEY_CAPSLOCK);
    back.press(KEY_LEFTMETA);
    back.release(KEY_LEFTMETA);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_ESC", "-KEY_ESC", "+KEY_LEFTMETA", "-KEY_LEFTMETA", "+KEY_HANJA", "-KEY_HANJA"}));
}

// The kernel releases a vanishing or reset keyboard's keys itself, and the
// tap usually reads those releases before the keyboard reads as gone: they
// carry no scan code, and end the keys without a tap.
TEST_F(LinuxInputFaults, TheKernelsOwnReleasesEndKeysWithoutATap)
{
    rig.defaults.setValue(QStringLiteral("isCmdEisuKanaEnabled"), true);
    ASSERT_TRUE(rig.start());
    struct Case {
        std::vector<uint16_t> held;
        Keys pressed; // what the virtual keyboard got for the presses
        Keys ended;   // and for the kernel's releases
    };
    const Case cases[] = {
        {{KEY_CAPSLOCK}, {}, {}},
        {{KEY_LEFTMETA}, {"+KEY_LEFTMETA"}, {"-KEY_LEFTMETA"}},
        {{KEY_RIGHTMETA}, {"+KEY_RIGHTMETA"}, {"-KEY_RIGHTMETA"}},
        {{KEY_LEFTSHIFT, KEY_CAPSLOCK, KEY_Q},
         join({{"+KEY_LEFTSHIFT"}, {"+KEY_LEFTCTRL", "+KEY_LEFTALT", "+KEY_LEFTMETA", "+KEY_Q"}}),
         {"-KEY_Q", "-KEY_LEFTMETA", "-KEY_LEFTALT", "-KEY_LEFTCTRL", "-KEY_LEFTSHIFT"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held.size());
        for (uint16_t code : c.held)
            kbd.press(code);
        EXPECT_EQ(rig.out(), c.pressed);
        kbd.releaseHeld(); // a driver reset: the keyboard stays
        EXPECT_EQ(rig.out(), c.ended);
        rig.advance(Millis{1000});
        EXPECT_EQ(rig.take(), Keys{}) << "no Escape, Hanja or Hangeul";
        EXPECT_TRUE(rig.held.empty());
    }
    // Ordinary releases from the same keyboard still tap, and so does a key
    // its driver translates and reports without scan codes either way (a
    // Mac keyboard's Command with hid-apple's swap_opt_cmd).
    kbd.press(KEY_CAPSLOCK);
    kbd.release(KEY_CAPSLOCK);
    for (int value : {1, 0}) {
        const input_event bare[] = {{{}, EV_KEY, KEY_LEFTMETA, value}, {{}, EV_SYN, SYN_REPORT, 0}};
        kbd.send(bare);
    }
    EXPECT_EQ(rig.out(), (Keys{"+KEY_ESC", "-KEY_ESC", "+KEY_LEFTMETA", "-KEY_LEFTMETA", "+KEY_HANJA", "-KEY_HANJA"}));
}

TEST_F(LinuxInputFaults, AKeyHeldOnTwoKeyboardsComesUpWithTheLastRelease)
{
    ASSERT_TRUE(rig.start());
    // Each keyboard is read on its own: the rig settles between keyboards
    // so that the order across them is the one written here.
    auto on = [&](PipeKeyboard& k, uint16_t code, int value) {
        k.key(code, value);
        rig.settle();
    };
    on(kbd, KEY_A, 1);
    on(pad, KEY_A, 1);
    on(kbd, KEY_A, 0);
    EXPECT_EQ(rig.take(), Keys{"+KEY_A"}) << "still held on the pad";
    on(pad, KEY_A, 0);
    EXPECT_EQ(rig.take(), Keys{"-KEY_A"});

    // A modifier pad: Shift held on both, released on one, still applies.
    on(kbd, KEY_LEFTSHIFT, 1);
    on(pad, KEY_LEFTSHIFT, 1);
    on(kbd, KEY_LEFTSHIFT, 0);
    kbd.press(KEY_B);
    kbd.release(KEY_B);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_LEFTSHIFT", "+KEY_B", "-KEY_B"}));
    on(pad, KEY_LEFTSHIFT, 0);
    EXPECT_EQ(rig.take(), Keys{"-KEY_LEFTSHIFT"});

    // Caps Lock on both: one hold, ended by the last release.
    on(kbd, KEY_CAPSLOCK, 1);
    on(pad, KEY_CAPSLOCK, 1);
    on(kbd, KEY_CAPSLOCK, 0);
    pad.press(KEY_C);
    pad.release(KEY_C);
    pad.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), join({kHyperDown, {"+KEY_C", "-KEY_C"}, kHyperUp}));

    // The same while paused, where keys go out as they are, and when one of
    // the two keyboards vanishes.
    rig.remapper->setIsEnabled(false);
    rig.remapper->waitForTapThreadSettled();
    rig.remapper->setIsEnabled(true);
    ASSERT_TRUE(rig.settleStart());
    rig.take();
    on(kbd, KEY_D, 1);
    on(pad, KEY_D, 1);
    kbd.vanish();
    EXPECT_EQ(rig.out(), Keys{"+KEY_D"});
    pad.release(KEY_D);
    EXPECT_EQ(rig.out(), Keys{"-KEY_D"});
    EXPECT_TRUE(rig.held.empty());
}

TEST_F(LinuxInputFaults, SleepEndsAHoldWithoutItsTap)
{
    ASSERT_TRUE(rig.start());
    kbd.press(KEY_CAPSLOCK);
    rig.advance(Millis{300});
    rig.wake.sleep(); // as logind's notice does, before the machine sleeps
    EXPECT_EQ(rig.take(), Keys{});
    // After the wake: the key is still down; its repeats and release start
    // nothing.
    kbd.repeat(KEY_CAPSLOCK);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), Keys{}) << "no Escape for a Caps Lock held through sleep";
    kbd.press(KEY_CAPSLOCK);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_ESC", "-KEY_ESC"}));

    // A letter held through sleep: released before it, and its repeats
    // after the wake type nothing.
    kbd.press(KEY_Q);
    EXPECT_EQ(rig.out(), Keys{"+KEY_Q"});
    rig.wake.sleep();
    EXPECT_EQ(rig.take(), Keys{"-KEY_Q"});
    kbd.repeat(KEY_Q);
    kbd.release(KEY_Q);
    EXPECT_EQ(rig.out(), Keys{});
    EXPECT_TRUE(rig.held.empty());
}

TEST_F(LinuxInputFaults, AnotherSessionsKeysNeverReachTheEngine)
{
    rig.remapper = std::make_unique<KeyRemapper>(rig.platform, KeyRemapper::Collaborators{});
    ASSERT_TRUE(rig.start());
    kbd.press(KEY_CAPSLOCK);
    kbd.press(KEY_C);
    EXPECT_EQ(rig.out(), join({kHyperDown, {"+KEY_C"}}));

    // A switch to another user or a text console: everything released, the
    // keyboards let go and closed, the virtual keyboard gone.
    rig.session.setActive(false);
    rig.remapper->waitForTapThreadSettled();
    EXPECT_EQ(rig.take(), join({{"-KEY_C"}, kHyperUp}));
    EXPECT_FALSE(kbd.isGrabbed());
    EXPECT_FALSE(pad.isGrabbed());
    EXPECT_FALSE(rig.io.hasVirtualKeyboard());
    EXPECT_FALSE(rig.remapper->hasEventTap());

    // Typed there (a password), nothing of it passes through Kestrune, and
    // nothing brings the tap back meanwhile.
    kbd.release(KEY_C);
    kbd.release(KEY_CAPSLOCK);
    pad.press(KEY_P);
    pad.release(KEY_P);
    rig.devices.arrive();
    rig.remapper->setIsEnabled(false);
    rig.remapper->setIsEnabled(true);
    rig.scheduler.advanceBy(Millis{5000});
    EXPECT_FALSE(rig.remapper->hasEventTap());
    EXPECT_EQ(rig.io.virtualKeyboardsCreated(), 1);
    EXPECT_TRUE(rig.io.takeOutput().empty());

    // Back in our session: everything reopened as at start.
    rig.session.setActive(true);
    ASSERT_TRUE(rig.settleStart());
    EXPECT_TRUE(kbd.isGrabbed());
    kbd.press(KEY_CAPSLOCK);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_ESC", "-KEY_ESC"}));
    EXPECT_EQ(rig.io.virtualKeyboardsCreated(), 2);
}

TEST_F(LinuxInputFaults, ATapThatCannotBeCreatedIsRetriedEverLessOften)
{
    rig.io.setVirtualKeyboardFails(true);
    ASSERT_TRUE(rig.trust.isTrusted()) << "access itself is granted";
    EXPECT_FALSE(rig.start());
    const QString line =
        QStringLiteral("Error: Kestrune cannot read the keyboards. The virtual keyboard could not be created through /dev/uinput.");
    EXPECT_EQ(rig.console.lines(), QStringList{line});
    EXPECT_FALSE(rig.remapper->isPollingForTrust());

    // 1 s, then 2, 4, 8, 16, 30, 30 s: one try at each, one line in all.
    auto attemptsAfter = [&](Millis d) {
        rig.scheduler.advanceBy(d - Millis{1});
        rig.remapper->waitForTapThreadSettled();
        rig.scheduler.runDue();
        const int before = rig.io.virtualKeyboardAttempts();
        rig.scheduler.advanceBy(Millis{1});
        rig.remapper->waitForTapThreadSettled();
        rig.scheduler.runDue();
        return std::pair{before, rig.io.virtualKeyboardAttempts()};
    };
    int attempts = rig.io.virtualKeyboardAttempts();
    for (const int seconds : {1, 2, 4, 8, 16, 30, 30}) {
        SCOPED_TRACE(seconds);
        EXPECT_EQ(rig.remapper->tapRetryDelay(), Millis{seconds * 1000});
        const auto [before, after] = attemptsAfter(Millis{seconds * 1000});
        EXPECT_EQ(before, attempts) << "not before its time";
        EXPECT_EQ(after, attempts + 1);
        attempts = after;
    }
    EXPECT_EQ(rig.console.lines(), QStringList{line}) << "printed once, not on every try";

    // A keyboard arriving tries at once, and the wait starts from 1 s again.
    rig.devices.arrive();
    rig.remapper->waitForTapThreadSettled();
    rig.scheduler.runDue();
    EXPECT_EQ(rig.io.virtualKeyboardAttempts(), attempts + 1);
    EXPECT_EQ(rig.remapper->tapRetryDelay(), Millis{1000});

    // Once it works, remapping begins.
    rig.io.setVirtualKeyboardFails(false);
    rig.scheduler.advanceBy(Millis{1000});
    ASSERT_TRUE(rig.settleStart());
    kbd.press(KEY_CAPSLOCK);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_ESC", "-KEY_ESC"}));
    EXPECT_EQ(rig.remapper->tapRetryDelay(), Millis{0});
}

} // namespace
} // namespace kestrune::testing
