#include "platform/sim/SimWorkspace.h"

#include "base/VirtualScheduler.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(SimWorkspace, FrontmostChangesNotifyDeactivationThenActivationInRegistrationOrder)
{
    VirtualScheduler scheduler;
    SimWorkspace workspace(scheduler);
    QStringList log;
    auto named = [](const auto& id) { return id.value_or(QStringLiteral("-")); };
    workspace.addActivationObserver([&](const auto& id) { log << "on1 " + named(id); });
    const int second = workspace.addActivationObserver([&](const auto& id) {
        log << "on2 " + named(id);
        workspace.removeObserver(second); // removing itself while notified
    });
    workspace.addDeactivationObserver([&](const auto& id) { log << "off " + named(id); });

    workspace.setFrontmost(QStringLiteral("com.apple.Safari"));
    workspace.setFrontmost(std::nullopt);
    EXPECT_EQ(workspace.frontmostBundleId(), std::nullopt);
    EXPECT_EQ(log, (QStringList{"off -", "on1 com.apple.Safari", "on2 com.apple.Safari", "off com.apple.Safari",
                                "on1 -"}));
}

} // namespace
} // namespace kestrune
