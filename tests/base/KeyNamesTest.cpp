// The table of key names: each platform's words, the order in which
// modifiers are listed whatever the flags' bit order, and the choice of
// table for tests.

#include "base/KeyNames.h"

#include <gtest/gtest.h>

using namespace kestrune;
using namespace kestrune::flags;

TEST(KeyNames, EachPlatformWritesItsOwnWords)
{
    const KeyNames mac = keyNamesFor(KeyboardConvention::macOS);
    EXPECT_TRUE(mac.isMac());
    EXPECT_EQ(mac.command(), QStringLiteral("Command"));
    EXPECT_EQ(mac.option(), QStringLiteral("Option"));
    EXPECT_EQ(mac.control(), QStringLiteral("Control"));
    EXPECT_EQ(mac.backspace, QStringLiteral("Delete"));
    EXPECT_EQ(mac.forwardDelete, QStringLiteral("Fn + Delete"));
    EXPECT_EQ(mac.combination(kModifierMask), QStringLiteral("⌘⌥⌃⇧"));
    EXPECT_EQ(mac.combination(kCommand | kOption | kControl, true), QStringLiteral("⌘ ⌥ ⌃"));

    const KeyNames pc = keyNamesFor(KeyboardConvention::linuxDesktop);
    EXPECT_FALSE(pc.isMac());
    EXPECT_EQ(pc.command(), QStringLiteral("Super"));
    EXPECT_EQ(pc.option(), QStringLiteral("Alt"));
    EXPECT_EQ(pc.control(), QStringLiteral("Ctrl"));
    EXPECT_EQ(pc.shift(), QStringLiteral("Shift"));
    EXPECT_EQ(pc.backspace, QStringLiteral("Backspace"));
    EXPECT_EQ(pc.forwardDelete, QStringLiteral("Delete"));
    EXPECT_EQ(pc.combination(kModifierMask), QStringLiteral("Super+Alt+Ctrl+Shift"));
    // Spacing is a matter of symbols: names are always joined by "+".
    EXPECT_EQ(pc.combination(kControl | kShift, true), QStringLiteral("Ctrl+Shift"));

    // Listed Command, Option, Control, Shift although Shift is the lowest
    // bit; other flags (Caps Lock's) are not modifiers to name.
    for (const KeyNames& names : {mac, pc}) {
        const QStringList keys = names.combinationKeys(kShift | kCommand | kAlphaShift);
        ASSERT_EQ(keys.size(), 2);
        EXPECT_EQ(keys[0], names.modifierSymbols[0]);
        EXPECT_EQ(keys[1], names.modifierSymbols[3]);
        EXPECT_EQ(names.combination(0), QString());
    }
}

TEST(KeyNames, ABuildSpeaksItsPlatformUnlessATestChoosesTheOther)
{
#ifdef Q_OS_MACOS
    const KeyboardConvention own = KeyboardConvention::macOS, other = KeyboardConvention::linuxDesktop;
#else
    const KeyboardConvention own = KeyboardConvention::linuxDesktop, other = KeyboardConvention::macOS;
#endif
    EXPECT_EQ(keyboardConvention(), own);
    {
        ScopedKeyboardConvention chosen(other);
        EXPECT_EQ(keyboardConvention(), other);
        EXPECT_EQ(keyNames().command(), keyNamesFor(other).command());
    }
    EXPECT_EQ(keyboardConvention(), own);
    EXPECT_EQ(keyNames().command(), keyNamesFor(own).command());
}
