// What the status dot and the tray icon are told: working, paused or not
// working, and why, as the remapper's own state changes.

#include "RemapperFixture.h"

namespace kestrune::testing {
namespace {

using State = RemapperStatus::State;
using Reason = RemapperStatus::Reason;

TEST_F(RemapperTest, StatusFollowsPauseAndResume)
{
    SimHarness& h = launched();
    RemapperStatus& status = *h.remapper.status();
    EXPECT_EQ(status.state(), State::Working);
    EXPECT_EQ(status.reason(), Reason::NoReason);
    EXPECT_TRUE(status.detail().isEmpty());
    EXPECT_EQ(status.toolTip(), QStringLiteral("Kestrune is working\nPause Kestrune"));

    int changes = 0;
    QObject::connect(&status, &RemapperStatus::changed, [&] { ++changes; });
    status.togglePaused();
    h.settle();
    EXPECT_FALSE(h.remapper.isEnabled());
    EXPECT_EQ(status.state(), State::Paused);
    EXPECT_EQ(status.actionText(), QStringLiteral("Resume Kestrune"));
    EXPECT_EQ(changes, 1) << "the tap going away changes nothing more";

    status.togglePaused();
    h.settle();
    EXPECT_TRUE(h.remapper.isEnabled());
    EXPECT_TRUE(h.remapper.hasEventTap());
    EXPECT_EQ(status.state(), State::Working);
    EXPECT_EQ(changes, 2) << "no failure flashes while the tap is made";
}

TEST_F(RemapperTest, StatusWithoutInputAccessSaysSoUntilItIsGranted)
{
    SimHarness& h = make();
    h.sim.trust().setTrusted(false);
    h.launch();
    RemapperStatus& status = *h.remapper.status();
    EXPECT_EQ(status.state(), State::NotWorking);
    EXPECT_EQ(status.reason(), Reason::NoInputAccess);
    EXPECT_TRUE(status.detail().contains(QStringLiteral("\"Fix\"")));
    EXPECT_FALSE(status.showsTapNotice()) << "the permission card says it, with its button";

    // Paused wins: nothing is expected to work then.
    h.remapper.setIsEnabled(false);
    h.settle();
    EXPECT_EQ(status.state(), State::Paused);
    h.remapper.setIsEnabled(true);
    h.settle();
    EXPECT_EQ(status.reason(), Reason::NoInputAccess);

    h.sim.trust().setTrusted(true);
    h.advance(Millis{1000});
    EXPECT_EQ(status.state(), State::Working);

    // Withdrawn while System Settings is in front: not working again at once.
    h.sim.workspace().setFrontmost(QStringLiteral("com.apple.systempreferences"));
    h.settle();
    h.sim.trust().setTrusted(false);
    h.advance(Millis{500});
    EXPECT_EQ(status.reason(), Reason::NoInputAccess);
}

TEST_F(RemapperTest, StatusOfATapThatCannotBeMadeGivesTheReasonAndClearsOnSuccess)
{
    SimHarness& h = make();
    const QString why = QStringLiteral("The virtual keyboard could not be created through /dev/uinput.");
    h.sim.keyboard().setTapFailure(why);
    h.launch();
    RemapperStatus& status = *h.remapper.status();
    EXPECT_EQ(status.state(), State::NotWorking);
    EXPECT_EQ(status.reason(), Reason::TapFailed);
    EXPECT_TRUE(status.showsTapNotice());
    EXPECT_TRUE(status.detail().startsWith(why));
    EXPECT_TRUE(status.toolTip().endsWith(QStringLiteral("\nPause Kestrune")));

    // The retry after 1 s fails too: still not working, not a flash of working.
    int changes = 0;
    QObject::connect(&status, &RemapperStatus::changed, [&] { ++changes; });
    h.advance(Millis{1000});
    EXPECT_EQ(status.reason(), Reason::TapFailed);
    EXPECT_EQ(changes, 0);

    h.sim.keyboard().setTapFailure({});
    h.advance(Millis{2000});
    ASSERT_TRUE(h.remapper.hasEventTap());
    EXPECT_EQ(status.state(), State::Working);
    EXPECT_FALSE(status.showsTapNotice());
}

TEST_F(RemapperTest, StatusWhileAnotherSessionIsInFront)
{
    SimHarness& h = launched();
    RemapperStatus& status = *h.remapper.status();
    h.sim.session().setActive(false);
    h.settle();
    EXPECT_EQ(status.state(), State::NotWorking);
    EXPECT_EQ(status.reason(), Reason::SessionInactive);
    h.sim.session().setActive(true);
    h.settle();
    EXPECT_EQ(status.state(), State::Working);
}

} // namespace
} // namespace kestrune::testing
