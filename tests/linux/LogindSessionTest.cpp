// Whether our login session is active, from a mock logind on a private D-Bus
// daemon: found by XDG_SESSION_ID or by our process, followed as it changes,
// and never changed by anyone but logind itself.

#include "platform/linux/LogindSession.h"

#include "MockLogind.h"

#include <QDBusObjectPath>
#include <unistd.h>

namespace kestrune {
namespace {

using test::waitUntil;
using namespace std::chrono_literals;

const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");

class LogindSessionTest : public test::MockLogindTest {
protected:
    // A session in the mock; returns its object path.
    QString addSession(const QString& id, bool active)
    {
        const QDBusMessage reply =
            callMock(kPath, kMock, QStringLiteral("AddSession"),
                     {id, QStringLiteral("seat0"), static_cast<uint>(::getuid()), QStringLiteral("someone"), active});
        if (reply.arguments().isEmpty())
            return {};
        const QVariant path = reply.arguments().constFirst();
        return path.userType() == qMetaTypeId<QDBusObjectPath>() ? path.value<QDBusObjectPath>().path()
                                                                 : path.toString();
    }
    // logind switching the seat: the session's Active property changes, with
    // the PropertiesChanged signal logind sends.
    void setActive(const QString& path, bool active)
    {
        callMock(path, kMock, QStringLiteral("UpdateProperties"), {kSessionInterface, QVariantMap{{"Active", active}}});
    }
};

TEST_F(LogindSessionTest, FollowsTheSessionNamedByXdgSessionId)
{
    startLogind();
    addSession(QStringLiteral("c1"), true);
    const QString ours = addSession(QStringLiteral("c7"), false);
    LogindSession session(subjectBus(), QStringLiteral("c7"));
    bool ready = false;
    QObject::connect(&session, &LogindSession::ready, [&] { ready = true; });
    EXPECT_TRUE(session.isActive()) << "active until logind has answered";
    ASSERT_TRUE(waitUntil([&] { return ready; }));
    EXPECT_EQ(session.sessionPath(), ours);
    EXPECT_FALSE(session.isActive());

    std::vector<bool> changes;
    session.setActiveHandler([&](bool active) { changes.push_back(active); });
    setActive(ours, true);
    ASSERT_TRUE(waitUntil([&] { return changes.size() == 1; }));
    setActive(ours, false);
    ASSERT_TRUE(waitUntil([&] { return changes.size() == 2; }));
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
    EXPECT_FALSE(session.isActive());
}

TEST_F(LogindSessionTest, WithoutXdgSessionIdTheSessionOfThisProcessIsFollowed)
{
    startLogind();
    const QString ours = addSession(QStringLiteral("c3"), true);
    // The template has no GetSessionByPID; logind answers with the
    // session of the calling process.
    callMock(kPath, kMock, QStringLiteral("AddMethod"),
             {kManager, QStringLiteral("GetSessionByPID"), QStringLiteral("u"), QStringLiteral("o"),
              QStringLiteral("ret = dbus.ObjectPath('%1')").arg(ours)});
    LogindSession session(subjectBus(), QString());
    ASSERT_TRUE(waitUntil([&] { return session.sessionPath() == ours; }));
    int switches = 0;
    session.setActiveHandler([&](bool) { ++switches; });
    setActive(ours, false);
    ASSERT_TRUE(waitUntil([&] { return switches == 1; }));
    EXPECT_FALSE(session.isActive());
}

TEST_F(LogindSessionTest, OnlyLogindItselfCanChangeIt)
{
    startLogind();
    const QString ours = addSession(QStringLiteral("c1"), true);
    LogindSession session(subjectBus(), QStringLiteral("c1"));
    ASSERT_TRUE(waitUntil([&] { return !session.sessionPath().isEmpty(); }));
    std::vector<bool> changes;
    session.setActiveHandler([&](bool active) { changes.push_back(active); });

    // Another peer sends logind's signal on the session's path, claiming the
    // session went inactive (which would stop the keyboard); it reaches the
    // monitor's connection before the genuine change that follows.
    QDBusMessage spoof = QDBusMessage::createSignal(ours, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("PropertiesChanged"));
    spoof << kSessionInterface << QVariantMap{{"Active", false}} << QStringList{};
    ASSERT_TRUE(control().send(spoof));
    setActive(ours, false);
    setActive(ours, true);
    ASSERT_TRUE(waitUntil([&] { return changes.size() == 2; }));
    EXPECT_EQ(changes, (std::vector<bool>{false, true})) << "only logind's own two changes";
}

TEST_F(LogindSessionTest, WithoutLogindTheSessionCountsAsActive)
{
    LogindSession session(subjectBus(), QStringLiteral("c1"));
    bool ready = false;
    QObject::connect(&session, &LogindSession::ready, [&] { ready = true; });
    ASSERT_TRUE(waitUntil([&] { return ready; }));
    EXPECT_TRUE(session.isActive());
    EXPECT_TRUE(session.sessionPath().isEmpty());
}

} // namespace
} // namespace kestrune
