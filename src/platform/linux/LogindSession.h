#pragma once
// Whether our login session is the active one of its seat, from logind.
//
// The session is ours as logind knows it: the one named by XDG_SESSION_ID,
// else the one this process belongs to (GetSessionByPID), else our user's
// display session (a user service runs outside any session). Its Active
// property is read at start and followed through PropertiesChanged on the
// system bus, accepted only from the current owner of org.freedesktop.login1:
// any other peer could otherwise make us read another user's keys, or stop
// reading ours.
//
// Until logind has answered, or without logind, the session counts as
// active: nothing would ever start otherwise.
//
// Main thread only.

#include "platform/System.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <functional>

namespace kestrune {

class LogindSession final : public QObject, public SessionMonitor {
    Q_OBJECT

public:
    // `bus`: the system bus in the product, a private bus in tests; it must
    // outlive the monitor. `sessionId`: XDG_SESSION_ID, or empty.
    explicit LogindSession(const QDBusConnection& bus = QDBusConnection::systemBus(),
                           const QString& sessionId = qEnvironmentVariable("XDG_SESSION_ID"),
                           QObject* parent = nullptr);
    ~LogindSession() override;

    bool isActive() const override { return active_; }
    void setActiveHandler(std::function<void(bool active)> handler) override { handler_ = std::move(handler); }

    // The session's object path once found; empty before or without one.
    QString sessionPath() const { return path_; }

signals:
    // The session was found (or found not to exist) and its state read.
    void ready();
    // After the handler was told.
    void activeChanged(bool active);

private slots:
    void handlePropertiesChanged(const QDBusMessage& message);
    void handleOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    void findSession(int step);
    void watch(const QString& path);
    void readActive();
    void setActive(bool active);
    void callManager(const QString& method, const QVariantList& args, std::function<void(const QDBusMessage&)> done);

    QDBusConnection bus_;
    QString sessionId_;
    QString path_;
    QString owner_; // unique name of org.freedesktop.login1's owner
    bool active_ = true;
    bool subscribed_ = false;
    std::function<void(bool)> handler_;
};

} // namespace kestrune
