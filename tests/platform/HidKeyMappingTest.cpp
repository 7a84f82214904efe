#include "platform/HidKeyMapping.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(HidKeyMapping, ReadsTheCommandsTheProductIssues)
{
    const auto apply = parseUserKeyMappingCommand(kApplyMappingCommand);
    ASSERT_TRUE(apply);
    EXPECT_EQ(*apply, (HidUsageMapping{{kHidUsageCapsLock, kHidUsageF19}}));
    EXPECT_TRUE(mapsCapsLockToF19(*apply));

    const auto reset = parseUserKeyMappingCommand(kResetMappingCommand);
    ASSERT_TRUE(reset);
    EXPECT_TRUE(reset->empty());
    EXPECT_FALSE(mapsCapsLockToF19(*reset));
}

TEST(HidKeyMapping, ReadsOtherMappingsWhateverTheSpacingAndNumberBase)
{
    const auto several = parseUserKeyMappingCommand(QStringLiteral(
        "  hidutil  property --set '{ \"UserKeyMapping\" : [ "
        "{\"HIDKeyboardModifierMappingSrc\": 0x700000039, \"HIDKeyboardModifierMappingDst\": 0x700000029},"
        " {\"HIDKeyboardModifierMappingSrc\":30064771129,\"HIDKeyboardModifierMappingDst\":0X70000006e} ] }' "));
    ASSERT_TRUE(several);
    EXPECT_EQ(*several, (HidUsageMapping{{kHidUsageCapsLock, 0x700000029}, {kHidUsageCapsLock, kHidUsageF19}}));
    EXPECT_TRUE(mapsCapsLockToF19(*several));

    // Caps Lock to Escape, and F19 to Caps Lock: neither is the product's mapping.
    EXPECT_FALSE(mapsCapsLockToF19({{kHidUsageCapsLock, 0x700000029}}));
    EXPECT_FALSE(mapsCapsLockToF19({{kHidUsageF19, kHidUsageCapsLock}}));
}

TEST(HidKeyMapping, RejectsLinesThatAreNotMappingCommands)
{
    for (const char* line : {
             "",
             "echo hello",
             "hidutil list",
             "hidutil property --get UserKeyMapping",
             "hidutil property --set '{\"UserKeyMapping\":[{\"HIDKeyboardModifierMappingSrc\":0x700000039}]}'",
             "hidutil property --set '{\"UserKeyMapping\":[{\"HIDKeyboardModifierMappingSrc\":0xZZ,"
             "\"HIDKeyboardModifierMappingDst\":0x70000006E}]}'",
             "hidutil property --set '{\"UserKeyMapping\":[]}'; rm -rf /tmp/x",
             "hidutil property --set '{\"CapsLockDelayOverride\":0}'",
         })
        EXPECT_FALSE(parseUserKeyMappingCommand(QString::fromUtf8(line))) << line;
}

} // namespace
} // namespace kestrune
