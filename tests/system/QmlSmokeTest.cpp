#include "base/VirtualScheduler.h"
#include "platform/sim/SimServices.h"
#include "support/ViewHarness.h"
#include "system/PermissionManager.h"

#include <gtest/gtest.h>

using namespace kestrune;

TEST(QmlSmoke, SingletonIsTheSharedInstance)
{
    VirtualScheduler scheduler;
    SimTrust trust;
    PermissionManager pm(trust, scheduler);
    PermissionManager::setShared(&pm);
    test::ViewHarness h;
    QObject* root = h.load(QStringLiteral("import QtQuick\nimport Kestrune.System\nRectangle { width: 40; height: 40; color: PermissionManager.isTrusted ? 'green' : 'red' }"));
    ASSERT_TRUE(root) << h.error().toStdString();
    scheduler.runDue();
    h.settle();
    QImage img = h.grab();
    EXPECT_EQ(test::pixel(img, {20, 20}), QColor(QStringLiteral("green")));
    PermissionManager::setShared(nullptr);
}
