#pragma once
// A mock logind (python-dbusmock's logind template) on a private D-Bus
// daemon, with two connections to it: one for the code under test, one for
// the test to drive the mock and to play any other peer.

#include "SystemTestSupport.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QProcessEnvironment>

namespace kestrune::test {

class MockLogindTest : public ::testing::Test {
protected:
    static inline const QString kService = QStringLiteral("org.freedesktop.login1");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/login1");
    static inline const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
    static inline const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");

    static void SetUpTestSuite() { ensureApplication(); }

    void SetUp() override
    {
        ASSERT_TRUE(daemon_.isRunning()) << "dbus-daemon did not start";
        const QString suffix = QString::number(++connections_);
        subjectBus_ = QStringLiteral("subject-") + suffix;
        controlBus_ = QStringLiteral("control-") + suffix;
        QDBusConnection::connectToBus(daemon_.address(), subjectBus_);
        QDBusConnection::connectToBus(daemon_.address(), controlBus_);
        ASSERT_TRUE(subjectBus().isConnected());
        ASSERT_TRUE(control().isConnected());
    }

    void TearDown() override
    {
        stopProcess(mock_);
        QDBusConnection::disconnectFromBus(subjectBus_);
        QDBusConnection::disconnectFromBus(controlBus_);
    }

    // The connection the code under test uses.
    QDBusConnection subjectBus() const { return QDBusConnection(subjectBus_); }
    // The test's own: it drives the mock, and is "another peer" on the bus.
    QDBusConnection control() const { return QDBusConnection(controlBus_); }

    void startLogind()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), daemon_.address());
        mock_.setProcessEnvironment(env);
        mock_.setProgram(QStringLiteral(KESTRUNE_DBUSMOCK_PYTHON));
        mock_.setArguments({QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                            QStringLiteral("logind"), QStringLiteral("--session")});
        mock_.setStandardOutputFile(QProcess::nullDevice());
        QDBusServiceWatcher watcher(kService, control(), QDBusServiceWatcher::WatchForRegistration);
        bool registered = false;
        QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, [&] { registered = true; });
        mock_.start();
        registered = registered || control().interface()->isServiceRegistered(kService).value();
        ASSERT_TRUE(waitUntil([&] { return registered; }, 30s)) << "the logind mock did not come up";
    }

    // Calls a method of the mock as the test; fails the test on an error.
    QDBusMessage callMock(const QString& path, const QString& interface, const QString& method,
                          const QVariantList& args)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, path, interface, method);
        call.setArguments(args);
        const QDBusMessage reply = control().call(call);
        EXPECT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
        return reply;
    }

    PrivateBus daemon_;
    QProcess mock_;
    QString subjectBus_;
    QString controlBus_;
    static inline int connections_ = 0;
};

} // namespace kestrune::test
