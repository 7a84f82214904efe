#pragma once
// Who sits at seat0: the user of its active session, from logind, while that
// session is a local one (not remote, of class "user"). The input service
// reads keys only for that user.
//
// It fails closed: until logind has answered, while logind is away, while
// seat0 has no active session or the active one is remote, a greeter or a
// lock screen, there is no user (activeUid() is empty). Changes come from
// PropertiesChanged on seat0, accepted only from the current owner of
// org.freedesktop.login1; each is read back with Get, so that a change
// signalled without its value is read all the same, and replies older than
// the last change are dropped.
//
// Main thread only.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <optional>

namespace kestrune {

class SeatSession final : public QObject {
    Q_OBJECT

public:
    // `bus`: the system bus in the service, a private bus in tests; it must
    // outlive the object.
    explicit SeatSession(const QDBusConnection& bus, const QString& seat = QStringLiteral("seat0"),
                         QObject* parent = nullptr);
    ~SeatSession() override;

    // The uid of the active local session's user; empty while there is none
    // or it is not known.
    std::optional<uint32_t> activeUid() const { return uid_; }
    // The active session's id, for the journal; empty with activeUid().
    QString activeSessionId() const { return sessionId_; }

signals:
    // activeUid() changed (it may stay empty across a change of session).
    void changed();

private slots:
    void handlePropertiesChanged(const QDBusMessage& message);
    void handleOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    void readActiveSession();
    void readSession(const QString& id, const QString& path, quint64 generation);
    void set(std::optional<uint32_t> uid, const QString& sessionId);

    QDBusConnection bus_;
    QString seatPath_;
    QString owner_;
    quint64 generation_ = 0; // bumped at each change; older replies are dropped
    std::optional<uint32_t> uid_;
    QString sessionId_;
    bool subscribed_ = false;
};

} // namespace kestrune
