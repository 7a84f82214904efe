// The launch-at-login switch against the simulated login item: what each
// write does to the item, what is read at launch, and failures.

#include "platform/sim/SimServices.h"
#include "system/LaunchAtLoginManager.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace kestrune {
namespace {

struct LineConsole final : Console {
    void printLine(const QString& line) override { lines.append(line); }
    QStringList lines;
};

TEST(LaunchAtLoginManager, WritesRegisterOrUnregisterOnlyWhenTheItemDisagrees)
{
    SimLoginItem item;
    LineConsole console;
    LaunchAtLoginManager manager(item, console);
    EXPECT_FALSE(manager.isEnabled());
    QSignalSpy changes(&manager, &LaunchAtLoginManager::isEnabledChanged);

    manager.setIsEnabled(true);
    manager.setIsEnabled(true); // already enabled: nothing more
    EXPECT_EQ(item.registerCount(), 1);
    EXPECT_EQ(item.status(), LoginItemStatus::Enabled);
    EXPECT_EQ(changes.count(), 1);

    manager.setIsEnabled(false);
    manager.setIsEnabled(false); // not registered: nothing more
    EXPECT_EQ(item.unregisterCount(), 1);
    EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
    EXPECT_EQ(changes.count(), 2);

    // The status is read at launch only, but every write checks the item.
    item.setStatus(LoginItemStatus::Enabled);
    manager.setIsEnabled(false);
    EXPECT_EQ(item.unregisterCount(), 2);
    EXPECT_TRUE(console.lines.isEmpty());
}

TEST(LaunchAtLoginManager, LaunchTakesTheItemsStateWithoutTouchingIt)
{
    LineConsole console;
    SimLoginItem enabled;
    enabled.setStatus(LoginItemStatus::Enabled);
    EXPECT_TRUE(LaunchAtLoginManager(enabled, console).isEnabled());
    EXPECT_EQ(enabled.registerCount() + enabled.unregisterCount(), 0);

    // Awaiting approval reads as off; turning on registers again.
    SimLoginItem pending;
    pending.setStatus(LoginItemStatus::RequiresApproval);
    LaunchAtLoginManager manager(pending, console);
    EXPECT_FALSE(manager.isEnabled());
    EXPECT_EQ(pending.unregisterCount(), 0);
    manager.setIsEnabled(true);
    EXPECT_EQ(pending.registerCount(), 1);
    EXPECT_EQ(pending.status(), LoginItemStatus::Enabled);
}

TEST(LaunchAtLoginManager, AFailureIsOneConsoleLineAndTheChoiceStays)
{
    SimLoginItem item;
    LineConsole console;
    LaunchAtLoginManager manager(item, console);
    item.setFailure(QStringLiteral("the autostart folder is read-only"));

    manager.setIsEnabled(true);
    EXPECT_TRUE(manager.isEnabled());
    EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
    EXPECT_EQ(console.lines, QStringList{QStringLiteral("Failed to update login item: the autostart folder is read-only")});
}

} // namespace
} // namespace kestrune
