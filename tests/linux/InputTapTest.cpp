// The engine on the Linux tap over pipes: raw evdev events in, the virtual
// keyboard's events out, through the real read → translate → engine →
// modifier sync → write path.

#include "InputRig.h"

#include "platform/HidKeyMapping.h"

#include <random>

namespace kestrune::testing {
namespace {

class LinuxInputTap : public ::testing::Test {
protected:
    InputRig rig;
    PipeKeyboard& kbd = rig.io.addKeyboard("/dev/input/event3");
};

TEST_F(LinuxInputTap, HyperChordHoldsTheModifiersForTheWholePressOfTheKey)
{
    ASSERT_TRUE(rig.start());
    EXPECT_TRUE(kbd.isGrabbed());

    kbd.press(KEY_CAPSLOCK);
    kbd.repeat(KEY_CAPSLOCK);
    kbd.press(KEY_C);
    EXPECT_EQ(rig.out(), join({kHyperDown, {"+KEY_C"}}));
    // Held: the virtual keyboard repeats C itself, under the Hyper modifiers.
    kbd.repeat(KEY_C);
    kbd.repeat(KEY_CAPSLOCK);
    kbd.repeat(KEY_C);
    EXPECT_EQ(rig.out(), Keys{});
    kbd.release(KEY_C);
    EXPECT_EQ(rig.out(), join({{"-KEY_C"}, kHyperUp}));
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), Keys{}) << "a used Caps Lock gives no single press";

    // A second chord key while the first is still down moves the modifiers on.
    kbd.press(KEY_CAPSLOCK);
    kbd.press(KEY_X);
    kbd.press(KEY_V);
    kbd.release(KEY_X);
    kbd.release(KEY_V);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), join({kHyperDown, {"+KEY_X", "+KEY_V", "-KEY_X", "-KEY_V"}, kHyperUp}));
    EXPECT_TRUE(rig.held.empty());
}

TEST_F(LinuxInputTap, AddedModifiersUseTheSideTheUserHoldsAndLeaveItsKeysAlone)
{
    ASSERT_TRUE(rig.start());
    kbd.press(KEY_RIGHTSHIFT);
    kbd.press(KEY_A);
    kbd.release(KEY_A);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_RIGHTSHIFT", "+KEY_A", "-KEY_A"}));

    kbd.press(KEY_CAPSLOCK);
    kbd.press(KEY_C);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_LEFTCTRL", "+KEY_LEFTALT", "+KEY_LEFTMETA", "+KEY_C"}));
    kbd.release(KEY_C);
    EXPECT_EQ(rig.out(), (Keys{"-KEY_C", "-KEY_LEFTMETA", "-KEY_LEFTALT", "-KEY_LEFTCTRL"}));

    // A modifier pressed during Hyper is that key alone; the letter after it
    // gets the rest.
    kbd.press(KEY_RIGHTALT);
    kbd.press(KEY_D);
    kbd.release(KEY_D);
    kbd.release(KEY_RIGHTALT);
    kbd.release(KEY_CAPSLOCK);
    kbd.release(KEY_RIGHTSHIFT);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_RIGHTALT", "+KEY_LEFTCTRL", "+KEY_LEFTMETA", "+KEY_D", "-KEY_D", "-KEY_LEFTMETA",
                               "-KEY_LEFTCTRL", "-KEY_RIGHTALT", "-KEY_RIGHTSHIFT"}));
    EXPECT_TRUE(rig.held.empty());
}

TEST_F(LinuxInputTap, ArrowLayerPlainTypingAndKeysWithoutAMacCode)
{
    ASSERT_TRUE(rig.start());
    kbd.press(KEY_H);
    kbd.release(KEY_H);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_H", "-KEY_H"}));

    kbd.press(KEY_CAPSLOCK);
    kbd.press(KEY_H);
    kbd.release(KEY_H);
    kbd.press(KEY_LEFTSHIFT);
    kbd.press(KEY_L);
    kbd.release(KEY_L);
    kbd.release(KEY_LEFTSHIFT);
    kbd.press(KEY_J);
    kbd.release(KEY_CAPSLOCK); // J comes up as the arrow it went down as
    kbd.release(KEY_J);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_LEFT", "-KEY_LEFT", "+KEY_LEFTSHIFT", "+KEY_RIGHT", "-KEY_RIGHT", "-KEY_LEFTSHIFT",
                               "+KEY_DOWN", "-KEY_DOWN"}));

    // Volume keys bypass the engine: unchanged during Hyper, and not counted
    // as a key pressed with it.
    kbd.press(KEY_CAPSLOCK);
    kbd.press(KEY_VOLUMEUP);
    kbd.release(KEY_VOLUMEUP);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_VOLUMEUP", "-KEY_VOLUMEUP", "+KEY_ESC", "-KEY_ESC"}));
}

TEST_F(LinuxInputTap, LoneCapsLockTapIsEscapeAndCapsLockWithoutTheMappingIsCapsLock)
{
    ASSERT_TRUE(rig.start());
    EXPECT_TRUE(rig.mapping.toF19());
    kbd.press(KEY_CAPSLOCK);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_ESC", "-KEY_ESC"}));

    // Both features off: the engine clears the mapping and Caps Lock is itself.
    rig.remapper->setIsHyperKeyEnabled(false);
    rig.remapper->setIsSinglePressEnabled(false);
    rig.settle();
    EXPECT_FALSE(rig.mapping.toF19());
    kbd.press(KEY_CAPSLOCK);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_CAPSLOCK", "-KEY_CAPSLOCK"}));

    // A Caps Lock held while the mapping comes into force comes up as the
    // key it went down as.
    kbd.press(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_CAPSLOCK"}));
    rig.remapper->setIsHyperKeyEnabled(true);
    rig.settle();
    EXPECT_TRUE(rig.mapping.toF19());
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"-KEY_CAPSLOCK"}));
    EXPECT_TRUE(rig.held.empty());
}

TEST_F(LinuxInputTap, LoneCommandTapsGiveEisuAndKana)
{
    rig.defaults.setValue(QStringLiteral("isCmdEisuKanaEnabled"), true);
    ASSERT_TRUE(rig.start());
    kbd.press(KEY_LEFTMETA);
    kbd.release(KEY_LEFTMETA);
    kbd.press(KEY_RIGHTMETA);
    kbd.release(KEY_RIGHTMETA);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_LEFTMETA", "-KEY_LEFTMETA", "+KEY_HANJA", "-KEY_HANJA", "+KEY_RIGHTMETA",
                               "-KEY_RIGHTMETA", "+KEY_HANGEUL", "-KEY_HANGEUL"}));
    kbd.press(KEY_LEFTMETA);
    kbd.press(KEY_C);
    kbd.release(KEY_C);
    kbd.release(KEY_LEFTMETA);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_LEFTMETA", "+KEY_C", "-KEY_C", "-KEY_LEFTMETA"}));
}

TEST_F(LinuxInputTap, DoubleTapTogglesCapsLockAndTheLedsFollowTheSystem)
{
    // Opened for reading alone (no write access granted): it types, but its
    // LEDs cannot be set, as the kernel refuses the write.
    PipeKeyboard& readOnly = rig.io.addKeyboard("/dev/input/event4");
    readOnly.setReadOnly(true);
    rig.defaults.setValue(QStringLiteral("isCapsLockDoubleTapEnabled"), true);
    ASSERT_TRUE(rig.start());
    EXPECT_TRUE(readOnly.isGrabbed());
    EXPECT_EQ(rig.capsLock.lockState(), false);

    // One tap: the Escape comes later, posted from the main thread.
    kbd.press(KEY_CAPSLOCK);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), Keys{});
    rig.advance(Millis{250});
    EXPECT_EQ(rig.take(), (Keys{"+KEY_ESC", "-KEY_ESC"}));

    for (int i = 0; i < 2; ++i) {
        kbd.press(KEY_CAPSLOCK);
        kbd.release(KEY_CAPSLOCK);
    }
    EXPECT_EQ(rig.out(), (Keys{"+KEY_CAPSLOCK", "-KEY_CAPSLOCK"}));
    EXPECT_EQ(rig.capsLock.lockState(), true);

    // The system lights Caps Lock on the virtual keyboard; the grabbed
    // keyboard, which only we can reach, shows it too.
    const input_event on[] = {{{}, EV_LED, LED_CAPSL, 1}, {{}, EV_SYN, SYN_REPORT, 0}};
    rig.io.sendToVirtual(on);
    rig.settle();
    EXPECT_EQ(kbd.leds(), 1u << LED_CAPSL);
    EXPECT_EQ(readOnly.leds(), 0u);

    for (int i = 0; i < 2; ++i) {
        kbd.press(KEY_CAPSLOCK);
        kbd.release(KEY_CAPSLOCK);
    }
    EXPECT_EQ(rig.out(), (Keys{"+KEY_CAPSLOCK", "-KEY_CAPSLOCK"}));
    const input_event off[] = {{{}, EV_LED, LED_CAPSL, 0}, {{}, EV_SYN, SYN_REPORT, 0}};
    rig.io.sendToVirtual(off);
    rig.settle();
    EXPECT_EQ(kbd.leds(), 0u);
    EXPECT_EQ(rig.capsLock.lockState(), false);
    rig.advance(Millis{1000});
    EXPECT_EQ(rig.take(), Keys{}) << "a double tap gives no single press";
}

TEST_F(LinuxInputTap, KeyboardVanishingMidChordLeavesNothingHeld)
{
    PipeKeyboard& other = rig.io.addKeyboard("/dev/input/event7");
    ASSERT_TRUE(rig.start());
    kbd.press(KEY_LEFTSHIFT);
    kbd.press(KEY_CAPSLOCK);
    kbd.press(KEY_C);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_LEFTSHIFT", "+KEY_LEFTCTRL", "+KEY_LEFTALT", "+KEY_LEFTMETA", "+KEY_C"}));

    kbd.vanish();
    EXPECT_EQ(rig.out(), (Keys{"-KEY_C", "-KEY_LEFTMETA", "-KEY_LEFTALT", "-KEY_LEFTCTRL", "-KEY_LEFTSHIFT"}));
    EXPECT_TRUE(rig.held.empty());

    // The engine saw it all come up: the other keyboard types plainly, and
    // Caps Lock there starts afresh.
    other.press(KEY_A);
    other.release(KEY_A);
    other.press(KEY_CAPSLOCK);
    other.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_A", "-KEY_A", "+KEY_ESC", "-KEY_ESC"}));
}

TEST_F(LinuxInputTap, KeyboardIsGrabbedOnlyOnceNoKeyIsDownOnIt)
{
    kbd.setRepeat(RepeatSettings{400, 30});
    kbd.setInitialLeds(1u << LED_CAPSL);
    kbd.press(KEY_ENTER); // still held from launching in a terminal
    ASSERT_TRUE(rig.start());
    EXPECT_FALSE(kbd.isGrabbed());
    EXPECT_EQ(rig.io.lastVirtualRepeat(), (RepeatSettings{400, 30}));
    EXPECT_EQ(rig.capsLock.lockState(), true);

    // Meanwhile its keys belong to the rest of the system.
    kbd.press(KEY_A);
    kbd.release(KEY_A);
    EXPECT_EQ(rig.out(), Keys{});
    EXPECT_FALSE(kbd.isGrabbed());

    kbd.release(KEY_ENTER);
    rig.settle();
    EXPECT_TRUE(kbd.isGrabbed());
    EXPECT_EQ(kbd.leds(), 1u << LED_CAPSL);
    kbd.press(KEY_B);
    kbd.release(KEY_B);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_B", "-KEY_B"}));

    // A keyboard plugged in later is picked up on the device monitor's word.
    PipeKeyboard& later = rig.io.addKeyboard("/dev/input/event9");
    rig.settle();
    EXPECT_FALSE(later.isGrabbed());
    rig.keyboard.rescanDevices();
    rig.settle();
    EXPECT_TRUE(later.isGrabbed());
    later.press(KEY_CAPSLOCK);
    later.press(KEY_K);
    later.release(KEY_K);
    later.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_UP", "-KEY_UP"}));
    EXPECT_EQ(kbd.grabCount(), 1);
}

// A keyboard the user leaves alone is never grabbed; one switched off in the
// middle of a chord ends its keys (never a lone tap) and is let go at once;
// switched on, it is grabbed once nothing is held on it.
TEST_F(LinuxInputTap, KeyboardsLeftAloneTypeUntouchedAndSwitchingNeverStrandsAKey)
{
    kbd.setIdentity({BUS_I8042, 1, 1, "AT Translated Set 2 keyboard", "isa0060/serio0/input0"});
    PipeKeyboard& pad = rig.io.addKeyboard("/dev/input/event7");
    pad.setIdentity({BUS_USB, 0x1234, 0x5678, "Macro Pad", "usb-0000:00:14.0-2/input0"});
    // Before a tap runs (no access yet, or paused) the nodes are listed as
    // they are, and a keyboard plugged in is word enough to look again.
    int told = 0;
    rig.keyboard.changed = [&] { ++told; };
    ASSERT_EQ(rig.keyboard.keyboards().size(), 2u);
    EXPECT_FALSE(rig.keyboard.keyboards()[1].remapped);
    rig.keyboard.rescanDevices();
    rig.scheduler.runDue();
    EXPECT_EQ(told, 1);

    KeyboardChoices choices;
    choices.remap[keyboardKey(pad.identity())] = false;
    rig.keyboard.setChoices(choices);
    ASSERT_TRUE(rig.start());
    EXPECT_TRUE(kbd.isGrabbed());
    EXPECT_FALSE(pad.isGrabbed());
    pad.press(KEY_CAPSLOCK);
    pad.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), Keys{});
    const std::vector<PresentKeyboard> roster = rig.keyboard.keyboards();
    ASSERT_EQ(roster.size(), 2u);
    EXPECT_TRUE(roster[0].remapped);
    EXPECT_FALSE(roster[1].remapped);
    EXPECT_EQ(roster[1].key, keyboardKey(pad.identity()));

    told = 0;
    kbd.press(KEY_CAPSLOCK);
    kbd.press(KEY_C);
    EXPECT_EQ(rig.out(), join({kHyperDown, {"+KEY_C"}}));
    choices.remap[keyboardKey(kbd.identity())] = false;
    rig.keyboard.setChoices(choices);
    EXPECT_EQ(rig.out(), join({{"-KEY_C"}, kHyperUp}));
    EXPECT_FALSE(kbd.isGrabbed());
    EXPECT_EQ(told, 1);
    kbd.release(KEY_C);
    kbd.release(KEY_CAPSLOCK); // the desktop's now: no Escape from us
    EXPECT_EQ(rig.out(), Keys{});

    // Switched on with a key held on it: grabbed only after it comes up.
    kbd.press(KEY_A);
    choices.remapNew = false;
    choices.remap.clear();
    choices.remap[keyboardKey(kbd.identity())] = true;
    rig.keyboard.setChoices(choices);
    rig.settle();
    EXPECT_FALSE(kbd.isGrabbed());
    EXPECT_FALSE(pad.isGrabbed()); // no choice of its own: a new keyboard's
    kbd.release(KEY_A);
    rig.settle();
    EXPECT_TRUE(kbd.isGrabbed());
    kbd.press(KEY_CAPSLOCK);
    kbd.press(KEY_K);
    kbd.release(KEY_K);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_UP", "-KEY_UP"}));

    // Two identical keyboards at different ports are told apart.
    PipeKeyboard& twin = rig.io.addKeyboard("/dev/input/event9");
    twin.setIdentity({BUS_USB, 0x1234, 0x5678, "Macro Pad", "usb-0000:00:14.0-3/input0"});
    choices.remap[keyboardKey(twin.identity(), true)] = true;
    rig.keyboard.setChoices(choices);
    rig.keyboard.rescanDevices();
    rig.settle();
    EXPECT_TRUE(twin.isGrabbed());
    EXPECT_FALSE(pad.isGrabbed());
}

TEST_F(LinuxInputTap, SleepAndPauseReleaseEverythingTheVirtualKeyboardHolds)
{
    ASSERT_TRUE(rig.start());
    kbd.press(KEY_CAPSLOCK);
    kbd.press(KEY_C);
    EXPECT_EQ(rig.out(), join({kHyperDown, {"+KEY_C"}}));
    ASSERT_TRUE(rig.keyboard.releaseAllForSleep());
    EXPECT_EQ(rig.take(), join({{"-KEY_C"}, kHyperUp})) << "written before it returns";
    kbd.release(KEY_C);
    kbd.release(KEY_CAPSLOCK);
    kbd.press(KEY_A);
    kbd.release(KEY_A);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_A", "-KEY_A"}));

    // Pausing mid-chord: released, ungrabbed, the virtual keyboard gone.
    kbd.press(KEY_CAPSLOCK);
    kbd.press(KEY_X);
    EXPECT_EQ(rig.out(), join({kHyperDown, {"+KEY_X"}}));
    rig.remapper->setIsEnabled(false);
    rig.remapper->waitForTapThreadSettled();
    EXPECT_EQ(rig.take(), join({{"-KEY_X"}, kHyperUp}));
    EXPECT_FALSE(kbd.isGrabbed());
    EXPECT_FALSE(rig.io.hasVirtualKeyboard());
    EXPECT_EQ(rig.capsLock.lockState(), std::nullopt);

    // Resumed with the keys still down: grabbed once they are up.
    rig.remapper->setIsEnabled(true);
    ASSERT_TRUE(rig.settleStart());
    EXPECT_FALSE(kbd.isGrabbed());
    kbd.release(KEY_X);
    kbd.release(KEY_CAPSLOCK);
    rig.settle();
    EXPECT_TRUE(kbd.isGrabbed());
    kbd.press(KEY_CAPSLOCK);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_ESC", "-KEY_ESC"}));
    EXPECT_EQ(rig.io.virtualKeyboardsCreated(), 2);
}

TEST_F(LinuxInputTap, WithoutInputAccessNoTapIsMadeUntilAccessIsGranted)
{
    rig.io.setUinputAllowed(false);
    EXPECT_FALSE(rig.trust.isTrusted());
    EXPECT_FALSE(rig.start());
    EXPECT_TRUE(rig.console.lines().contains(QStringLiteral("Error: Kestrune cannot read the keyboards.")));
    EXPECT_TRUE(rig.remapper->isPollingForTrust());
    EXPECT_FALSE(kbd.isGrabbed());

    // Readable keyboards are needed as well.
    rig.io.setUinputAllowed(true);
    kbd.setDenied(true);
    EXPECT_FALSE(rig.trust.isTrusted());
    rig.scheduler.advanceBy(Millis{1000});
    EXPECT_FALSE(rig.remapper->hasEventTap());

    kbd.setDenied(false);
    EXPECT_TRUE(rig.trust.isTrusted());
    rig.scheduler.advanceBy(Millis{1000}); // the poll's next tick starts the tap
    ASSERT_TRUE(rig.settleStart());
    EXPECT_FALSE(rig.remapper->isPollingForTrust());
    kbd.press(KEY_CAPSLOCK);
    kbd.release(KEY_CAPSLOCK);
    EXPECT_EQ(rig.out(), (Keys{"+KEY_ESC", "-KEY_ESC"}));
}

// Random presses and releases over two keyboards, with repeats, vanishing
// keyboards and time passing, under random settings: whatever happens, the
// virtual keyboard never presses a held key or releases one that is up, and
// holds nothing once every key is up.
TEST_F(LinuxInputTap, RandomStreamsEndWithNothingHeld)
{
    const uint16_t keys[] = {KEY_A, KEY_S, KEY_D, KEY_W, KEY_H, KEY_J, KEY_K, KEY_L, KEY_C, KEY_CAPSLOCK,
                             KEY_LEFTSHIFT, KEY_RIGHTSHIFT, KEY_LEFTCTRL, KEY_LEFTALT, KEY_LEFTMETA, KEY_RIGHTMETA,
                             KEY_VOLUMEUP, KEY_ESC};
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        InputRig r;
        std::mt19937 random(seed);
        auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
        r.defaults.setValue(QStringLiteral("isCapsLockDoubleTapEnabled"), chance(50));
        r.defaults.setValue(QStringLiteral("isCmdEisuKanaEnabled"), chance(50));
        r.defaults.setValue(QStringLiteral("vimModeConfig"), chance(50) ? QStringLiteral("vim") : QStringLiteral("gamer"));
        struct Board {
            PipeKeyboard* kbd;
            std::set<uint16_t> down;
        };
        std::vector<Board> boards;
        int added = 0;
        auto addBoard = [&] { boards.push_back({&r.io.addKeyboard("/dev/input/event" + std::to_string(++added)), {}}); };
        addBoard();
        addBoard();
        ASSERT_TRUE(r.start());

        for (int step = 0; step < 400; ++step) {
            Board& b = boards[random() % boards.size()];
            const int roll = static_cast<int>(random() % 100);
            if (roll < 45) {
                const uint16_t code = keys[random() % std::size(keys)];
                if (b.down.insert(code).second)
                    b.kbd->press(code);
            } else if (roll < 85 && !b.down.empty()) {
                auto it = std::next(b.down.begin(), static_cast<long>(random() % b.down.size()));
                b.kbd->release(*it);
                b.down.erase(it);
            } else if (roll < 90 && !b.down.empty()) {
                b.kbd->repeat(*std::next(b.down.begin(), static_cast<long>(random() % b.down.size())));
            } else if (roll < 96) {
                r.advance(Millis{static_cast<int>(random() % 300)});
            } else if (roll < 98) {
                b.kbd->vanish();
                b = Board{&r.io.addKeyboard("/dev/input/event" + std::to_string(++added)), {}};
                r.keyboard.rescanDevices();
            } else {
                r.keyboard.releaseAllForSleep();
            }
            if (step % 16 == 0)
                r.out();
        }
        for (Board& b : boards)
            for (uint16_t code : b.down)
                b.kbd->release(code);
        r.settle();
        r.advance(Millis{1000});
        r.take();
        EXPECT_TRUE(r.held.empty());
    }
}

} // namespace
} // namespace kestrune::testing
