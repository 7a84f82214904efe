// The key table both ways, the in-process Caps Lock mapping, and the real
// evdev access where the machine gives none.

#include "platform/HidKeyMapping.h"
#include "platform/linux/EvdevKeyTable.h"
#include "platform/linux/LibevdevIo.h"
#include "platform/linux/LinuxInputTrust.h"
#include "platform/linux/LinuxKeyboard.h"
#include "platform/linux/LinuxShellRunner.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimTranscript.h"
#include "base/VirtualScheduler.h"

#include <gtest/gtest.h>
#include <libevdev/libevdev.h>

#include <set>

namespace kestrune {
namespace {

using evdev::evdevKeyFor;
using evdev::macKeyFor;

TEST(LinuxKeyTable, EveryPairRoundTripsAndNoKeyIsClaimedTwice)
{
    std::set<int> evdevSide;
    std::set<int> macSide;
    for (const evdev::KeyPair& p : evdev::kKeyPairs) {
        EXPECT_TRUE(evdevSide.insert(p.evdev).second) << "evdev " << p.evdev << " listed twice";
        EXPECT_TRUE(macSide.insert(p.mac).second) << "mac " << int(p.mac) << " listed twice";
        EXPECT_EQ(macKeyFor(p.evdev), p.mac);
        EXPECT_EQ(evdevKeyFor(p.mac), p.evdev);
    }
    for (unsigned code = 0; code < KEY_CNT; ++code) {
        if (const KeyCode mac = macKeyFor(code); mac >= 0) {
            EXPECT_EQ(evdevKeyFor(mac), static_cast<int>(code));
        }
    }
    for (KeyCode mac = 0; mac < evdev::kMacKeyCount; ++mac) {
        if (const int code = evdevKeyFor(mac); code >= 0) {
            EXPECT_EQ(macKeyFor(static_cast<unsigned>(code)), mac);
        }
    }
}

TEST(LinuxKeyTable, KeysTheEngineNamesAndTheLayoutsTranslateAsOnAMac)
{
    // The letters in macOS order a…z.
    const KeyCode letters[26] = {0, 11, 8, 2, 14, 3, 5, 4, 34, 38, 40, 37, 46, 45, 31, 35, 12, 15, 1, 17, 32, 9, 13, 7, 16, 6};
    const unsigned evdevLetters[26] = {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I,
                                       KEY_J, KEY_K, KEY_L, KEY_M, KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R,
                                       KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(macKeyFor(evdevLetters[i]), letters[i]) << char('a' + i);

    const std::pair<unsigned, KeyCode> named[] = {
        {KEY_CAPSLOCK, kc::kVK_CapsLock},     {KEY_F19, kc::kVK_F19},           {KEY_ESC, kc::kVK_Escape},
        {KEY_BACKSPACE, kc::kVK_Delete},      {KEY_DELETE, kc::kVK_ForwardDelete}, {KEY_INSERT, 114},
        {KEY_LEFT, kc::kVK_LeftArrow},        {KEY_RIGHT, kc::kVK_RightArrow},  {KEY_DOWN, kc::kVK_DownArrow},
        {KEY_UP, kc::kVK_UpArrow},            {KEY_HOME, 115},                  {KEY_END, 119},
        {KEY_PAGEUP, 116},                    {KEY_PAGEDOWN, 121},              {KEY_LEFTMETA, kc::kVK_Command_L},
        {KEY_RIGHTMETA, kc::kVK_Command_R},   {KEY_LEFTALT, kc::kVK_Option_L},  {KEY_RIGHTALT, kc::kVK_Option_R},
        {KEY_LEFTCTRL, kc::kVK_Control_L},    {KEY_RIGHTCTRL, kc::kVK_Control_R}, {KEY_LEFTSHIFT, kc::kVK_Shift_L},
        {KEY_RIGHTSHIFT, kc::kVK_Shift_R},    {KEY_102ND, 10},                  {KEY_RO, 94},
        {KEY_YEN, 93},                        {KEY_HANJA, kc::kVK_JIS_Eisu},    {KEY_HANGEUL, kc::kVK_JIS_Kana},
        {KEY_F1, 122},                        {KEY_F5, 96},                     {KEY_F12, 111},
        {KEY_F13, 105},                       {KEY_F20, 90},                    {KEY_KP0, 82},
        {KEY_KPENTER, 76},                    {KEY_1, 18},                      {KEY_0, 29},
        {KEY_GRAVE, 50},                      {KEY_ENTER, kc::kVK_Return},      {KEY_TAB, kc::kVK_Tab},
        {KEY_SPACE, kc::kVK_Space},
    };
    for (const auto& [code, mac] : named)
        EXPECT_EQ(macKeyFor(code), mac) << libevdev_event_code_get_name(EV_KEY, code);

    // Keys a Mac keyboard event cannot carry stay untranslated (and pass by
    // the engine), as do codes out of range either way.
    for (unsigned code : {KEY_VOLUMEUP, KEY_MUTE, KEY_MUHENKAN, KEY_HENKAN, KEY_SYSRQ, BTN_LEFT, KEY_RESERVED})
        EXPECT_EQ(macKeyFor(code), -1) << code;
    EXPECT_EQ(macKeyFor(KEY_CNT), -1);
    for (KeyCode mac : {KeyCode{-1}, KeyCode{52}, KeyCode{128}, KeyCode{0xCAFE}})
        EXPECT_EQ(evdevKeyFor(mac), -1) << mac;
}

TEST(LinuxKeyTable, ModifierKeysMapToTheSharedFlags)
{
    auto bit = [](unsigned code) { return static_cast<uint8_t>(1u << evdev::modifierIndex(code)); };
    EXPECT_EQ(evdev::flagsForModifiers(0), 0u);
    EXPECT_EQ(evdev::flagsForModifiers(bit(KEY_RIGHTMETA)), flags::kCommand);
    EXPECT_EQ(evdev::flagsForModifiers(bit(KEY_LEFTALT) | bit(KEY_RIGHTALT)), flags::kOption);
    EXPECT_EQ(evdev::flagsForModifiers(bit(KEY_LEFTSHIFT) | bit(KEY_RIGHTCTRL)), flags::kShift | flags::kControl);
    EXPECT_EQ(evdev::modifierIndex(KEY_CAPSLOCK), -1);
    EXPECT_EQ(evdev::modifierIndex(KEY_A), -1);
}

TEST(LinuxShellRunner, MappingCommandsSetTheFlagAndOtherLinesGoToTheShell)
{
    VirtualScheduler scheduler;
    SimTranscript transcript{scheduler};
    SimShell processes{transcript};
    CapsLockMapping mapping;
    LinuxShellRunner shell{mapping, processes};

    shell.run(kApplyMappingCommand);
    EXPECT_TRUE(mapping.toF19());
    shell.run(kResetMappingCommand);
    EXPECT_FALSE(mapping.toF19());
    shell.run(kApplyMappingCommand);
    shell.run(QStringLiteral("echo done"));
    shell.run(QStringLiteral("hidutil property --set '{\"UserKeyMapping\":[{\"nonsense\":1}]}'"));
    EXPECT_TRUE(mapping.toF19()) << "lines that are not a mapping change nothing";
    EXPECT_EQ(processes.commands(),
              (QStringList{QStringLiteral("echo done"),
                           QStringLiteral("hidutil property --set '{\"UserKeyMapping\":[{\"nonsense\":1}]}'")}));
    EXPECT_TRUE(shell.waitForIdle(Millis{0}));
}

class NoHandler final : public EventHandler {
public:
    bool handleEvent(KeyEvent&) override { return true; }
};

TEST(LibevdevIo, WithoutUinputThereIsNoTrustAndNoTap)
{
    LibevdevIo io;
    if (io.canCreateVirtualKeyboard())
        GTEST_SKIP() << "this machine offers /dev/uinput; the manual check covers the real devices";
    CapsLockMapping mapping;
    LinuxKeyboard keyboard{io, mapping};
    LinuxInputTrust trust{io};
    NoHandler handler;
    EXPECT_FALSE(trust.isTrusted());
    EXPECT_FALSE(trust.requestTrust());
    EXPECT_EQ(keyboard.createTap(kKeyboardEventMask, handler), nullptr);
    EXPECT_EQ(keyboard.capsLockState(), std::nullopt);
    EXPECT_FALSE(keyboard.setCapsLockState(true));
    for (const std::string& path : io.keyboardPaths())
        EXPECT_EQ(path.rfind("/dev/input/event", 0), 0u) << path;
}

} // namespace
} // namespace kestrune
