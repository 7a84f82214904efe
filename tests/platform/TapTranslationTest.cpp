#include "platform/TapTranslation.h"

#include <gtest/gtest.h>
#include <functional>
#include <vector>

namespace kestrune {
namespace {

// A handler that records what it saw and rewrites as told.
struct ScriptedHandler final : EventHandler {
    std::vector<KeyEvent> seen;
    std::function<bool(KeyEvent&)> reply = [](KeyEvent&) { return true; };
    bool handleEvent(KeyEvent& event) override
    {
        seen.push_back(event);
        return reply(event);
    }
};

constexpr uint32_t kKeyDown = 10;
constexpr uint32_t kKeyUp = 11;
constexpr uint32_t kFlagsChanged = 12;

TEST(TapTranslation, OnlyKeyboardTypesAndTapNoticesReachTheHandler)
{
    ScriptedHandler handler;
    for (uint32_t type : {0u, 1u, 5u, 9u, 13u, 14u, 22u, 29u, 0xFFFFFFFDu}) {
        const TapOutcome out = handleNativeEvent(handler, {type, 0, 0, 0, false});
        EXPECT_EQ(out.action, TapOutcome::Action::PassUnchanged) << type;
    }
    EXPECT_TRUE(handler.seen.empty());

    for (uint32_t type : {kKeyDown, kKeyUp, kFlagsChanged, 0xFFFFFFFEu, 0xFFFFFFFFu})
        handleNativeEvent(handler, {type, 0, 0, 0, false});
    ASSERT_EQ(handler.seen.size(), 5u);
    EXPECT_EQ(handler.seen[3].type, EventType::TapDisabledByTimeout);
    EXPECT_EQ(handler.seen[4].type, EventType::TapDisabledByUserInput);
}

TEST(TapTranslation, TapNoticesPassUnchangedWhateverTheHandlerSays)
{
    ScriptedHandler handler;
    handler.reply = [](KeyEvent& e) {
        e.keyCode = 99;
        return false;
    };
    EXPECT_EQ(handleNativeEvent(handler, {0xFFFFFFFEu, 0, 0, 0, false}).action, TapOutcome::Action::PassUnchanged);
    EXPECT_EQ(handleNativeEvent(handler, {0xFFFFFFFFu, 0, 0, 0, false}).action, TapOutcome::Action::PassUnchanged);
}

TEST(TapTranslation, TheHandlerSeesEveryFieldAndOnlyChangedOnesAreWrittenBack)
{
    ScriptedHandler handler;
    const uint64_t deviceBits = 0x100 | 0x8; // non-coalesced and a side bit, kept as they came
    TapOutcome out = handleNativeEvent(handler, {kKeyDown, kc::kVK_ANSI_A, deviceBits, 7, true});
    ASSERT_EQ(handler.seen.size(), 1u);
    EXPECT_EQ(handler.seen[0], (KeyEvent{EventType::KeyDown, kc::kVK_ANSI_A, deviceBits, 7, true}));
    EXPECT_EQ(out.action, TapOutcome::Action::PassUnchanged);

    // Hyper: the flags grow, nothing else moves.
    handler.reply = [](KeyEvent& e) {
        e.flags |= flags::kModifierMask;
        return true;
    };
    out = handleNativeEvent(handler, {kKeyDown, kc::kVK_ANSI_A, deviceBits, 0, false});
    EXPECT_EQ(out.action, TapOutcome::Action::PassRewritten);
    EXPECT_TRUE(out.flagsChanged);
    EXPECT_FALSE(out.keyCodeChanged || out.typeChanged || out.userDataChanged);
    EXPECT_EQ(out.fields.flags, deviceBits | flags::kModifierMask);

    // An excluded application: F19 goes on as Caps Lock.
    handler.reply = [](KeyEvent& e) {
        e.keyCode = kc::kVK_CapsLock;
        return true;
    };
    out = handleNativeEvent(handler, {kKeyUp, kc::kVK_F19, 0, 0, false});
    EXPECT_TRUE(out.keyCodeChanged);
    EXPECT_FALSE(out.flagsChanged);
    EXPECT_EQ(out.fields.keyCode, kc::kVK_CapsLock);
    EXPECT_EQ(out.fields.type, kKeyUp);
}

TEST(TapTranslation, ADroppedEventIsDropped)
{
    ScriptedHandler handler;
    handler.reply = [](KeyEvent&) { return false; };
    EXPECT_EQ(handleNativeEvent(handler, {kKeyDown, kc::kVK_F19, 0, 0, false}).action, TapOutcome::Action::Drop);
}

TEST(TapTranslation, PostsKeysWithTheirPositionFlagsAndMarker)
{
    auto down = nativePostFor({EventType::KeyDown, kc::kVK_Escape, 0, kSelfGeneratedEventMarker});
    ASSERT_TRUE(down);
    EXPECT_TRUE(down->keyDown);
    EXPECT_EQ(down->keyCode, kc::kVK_Escape);
    EXPECT_EQ(down->type, kKeyDown);
    EXPECT_EQ(down->userData, kSelfGeneratedEventMarker);

    auto up = nativePostFor({EventType::KeyUp, kc::kVK_JIS_Kana, flags::kShift, kSelfGeneratedEventMarker});
    ASSERT_TRUE(up);
    EXPECT_FALSE(up->keyDown);
    EXPECT_EQ(up->flags, flags::kShift);

    // A modifier goes down when its own flag is set, up when it is not.
    auto shiftDown = nativePostFor({EventType::FlagsChanged, kc::kVK_Shift_R, flags::kShift, 0});
    ASSERT_TRUE(shiftDown);
    EXPECT_TRUE(shiftDown->keyDown);
    EXPECT_EQ(shiftDown->type, kFlagsChanged);
    auto commandUp = nativePostFor({EventType::FlagsChanged, kc::kVK_Command_L, flags::kShift, 0});
    ASSERT_TRUE(commandUp);
    EXPECT_FALSE(commandUp->keyDown);
}

TEST(TapTranslation, RefusesWhatCannotBePosted)
{
    EXPECT_FALSE(nativePostFor({EventType::KeyDown, -1, 0, 0}));
    EXPECT_FALSE(nativePostFor({EventType::KeyDown, 0x10000, 0, 0}));
    EXPECT_TRUE(nativePostFor({EventType::KeyDown, 0xFFFF, 0, 0}));
    EXPECT_FALSE(nativePostFor({EventType::FlagsChanged, kc::kVK_ANSI_A, flags::kShift, 0}));
    EXPECT_FALSE(nativePostFor({EventType::TapDisabledByTimeout, 0, 0, 0}));
    EXPECT_FALSE(nativePostFor({EventType::TapDisabledByUserInput, 0, 0, 0}));
}

} // namespace
} // namespace kestrune
