// The wake notifier against a mock logind (python-dbusmock's logind
// template) on a private D-Bus daemon: the sleep notices, the delay lock that
// holds the system back until keys are released, and who may send notices.

#include "platform/linux/LogindWakeNotifier.h"

#include "MockLogind.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QProcessEnvironment>

namespace kestrune {
namespace {

using test::waitUntil;
using namespace std::chrono_literals;

struct Inhibitor {
    QString what, who, why, mode;
};

class LogindWakeNotifierTest : public test::MockLogindTest {
protected:
    QDBusConnection notifierBus() const { return subjectBus(); }

    void emitPrepareForSleep(bool sleeping)
    {
        callMock(kPath, kMock, QStringLiteral("EmitSignal"),
                 {kManager, QStringLiteral("PrepareForSleep"), QStringLiteral("b"), QVariantList{sleeping}});
    }

    std::vector<Inhibitor> inhibitors()
    {
        const QDBusMessage reply =
            control().call(QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("ListInhibitors")));
        std::vector<Inhibitor> list;
        if (reply.type() != QDBusMessage::ReplyMessage)
            return list;
        const QDBusArgument arg = reply.arguments().value(0).value<QDBusArgument>();
        arg.beginArray();
        while (!arg.atEnd()) {
            Inhibitor i;
            uint uid = 0, pid = 0;
            arg.beginStructure();
            arg >> i.what >> i.who >> i.why >> i.mode >> uid >> pid;
            arg.endStructure();
            list.push_back(i);
        }
        arg.endArray();
        return list;
    }

    // The mock drops an inhibitor when its main loop sees the descriptor
    // closed, which it handles before the next call; each try is a round trip.
    bool waitForInhibitorCount(size_t count)
    {
        const QDeadlineTimer guard(10s);
        while (inhibitors().size() != count)
            if (guard.hasExpired())
                return false;
        return true;
    }

};

TEST_F(LogindWakeNotifierTest, HoldsTheSystemBackUntilKeysAreReleased)
{
    startLogind();
    LogindWakeNotifier notifier(notifierBus());
    ASSERT_TRUE(notifier.isWatching());
    ASSERT_TRUE(waitUntil([&] { return notifier.holdsSleepDelay(); }));
    const auto held = inhibitors();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].what, QLatin1String("sleep"));
    EXPECT_EQ(held[0].who, QLatin1String("Kestrune"));
    EXPECT_EQ(held[0].mode, QLatin1String("delay"));

    int beforeSleep = 0, wakes = 0;
    bool heldDuringRelease = false;
    notifier.beforeSleep = [&] {
        ++beforeSleep;
        heldDuringRelease = notifier.holdsSleepDelay();
    };
    notifier.setWakeHandler([&] { ++wakes; });

    emitPrepareForSleep(true);
    ASSERT_TRUE(waitUntil([&] { return beforeSleep == 1; }));
    EXPECT_TRUE(heldDuringRelease) << "keys must be released while the system still waits";
    EXPECT_FALSE(notifier.holdsSleepDelay());
    EXPECT_TRUE(waitForInhibitorCount(0)) << "the lock must be let go once keys are released";
    EXPECT_EQ(wakes, 0);

    emitPrepareForSleep(false);
    ASSERT_TRUE(waitUntil([&] { return wakes == 1; }));
    EXPECT_EQ(beforeSleep, 1);
    ASSERT_TRUE(waitUntil([&] { return notifier.holdsSleepDelay(); })) << "the next sleep must be held back too";
    EXPECT_TRUE(waitForInhibitorCount(1));
}

TEST_F(LogindWakeNotifierTest, WakeHandlerCanBeReplacedAndRemoved)
{
    startLogind();
    LogindWakeNotifier notifier(notifierBus());
    int handled = 0, first = 0, second = 0;
    QObject::connect(&notifier, &LogindWakeNotifier::sleepNoticeHandled, [&](bool) { ++handled; });

    notifier.setWakeHandler([&] {
        ++first;
        notifier.setWakeHandler([&] { ++second; }); // replaced from inside itself
    });
    emitPrepareForSleep(false);
    ASSERT_TRUE(waitUntil([&] { return handled == 1; }));
    emitPrepareForSleep(false);
    ASSERT_TRUE(waitUntil([&] { return handled == 2; }));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);

    notifier.setWakeHandler({});
    emitPrepareForSleep(true); // no beforeSleep hook either
    emitPrepareForSleep(false);
    ASSERT_TRUE(waitUntil([&] { return handled == 4; }));
    EXPECT_EQ(second, 1);
}

TEST_F(LogindWakeNotifierTest, OnlyLogindItselfIsHeard)
{
    startLogind();
    LogindWakeNotifier notifier(notifierBus());
    std::vector<bool> notices;
    QObject::connect(&notifier, &LogindWakeNotifier::sleepNoticeHandled, [&](bool s) { notices.push_back(s); });
    int beforeSleep = 0;
    notifier.beforeSleep = [&] { ++beforeSleep; };

    // Another peer sends the same signal from the same path: it reaches the
    // notifier's connection before the genuine notice that follows.
    QDBusMessage spoof = QDBusMessage::createSignal(kPath, kManager, QStringLiteral("PrepareForSleep"));
    spoof << true;
    ASSERT_TRUE(control().send(spoof));
    emitPrepareForSleep(false);

    ASSERT_TRUE(waitUntil([&] { return !notices.empty(); }));
    EXPECT_EQ(notices, std::vector<bool>{false});
    EXPECT_EQ(beforeSleep, 0);
}

TEST_F(LogindWakeNotifierTest, LogindStartingLaterIsHeard)
{
    // Without logind there is no lock and nothing fails.
    LogindWakeNotifier notifier(notifierBus());
    EXPECT_TRUE(notifier.isWatching());
    int beforeSleep = 0;
    notifier.beforeSleep = [&] { ++beforeSleep; };

    startLogind();
    emitPrepareForSleep(true);
    ASSERT_TRUE(waitUntil([&] { return beforeSleep == 1; }));
    EXPECT_FALSE(notifier.holdsSleepDelay());
}

} // namespace
} // namespace kestrune
