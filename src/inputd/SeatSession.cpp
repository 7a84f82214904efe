#include "inputd/SeatSession.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace kestrune {

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kSeat = QStringLiteral("org.freedesktop.login1.Seat");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");

// A D-Bus structure (s o) or (u o): its two fields.
template <class First>
bool readPair(const QVariant& value, First& first, QDBusObjectPath& path)
{
    if (!value.canConvert<QDBusArgument>())
        return false;
    const QDBusArgument arg = value.value<QDBusArgument>();
    arg.beginStructure();
    arg >> first >> path;
    arg.endStructure();
    return true;
}
} // namespace

SeatSession::SeatSession(const QDBusConnection& bus, const QString& seat, QObject* parent)
    : QObject(parent)
    , bus_(bus)
    , seatPath_(QStringLiteral("/org/freedesktop/login1/seat/") + seat)
{
    if (!bus_.isConnected())
        return; // no logind: nobody is at the seat
    auto* owners = new QDBusServiceWatcher(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owners, &QDBusServiceWatcher::serviceOwnerChanged, this, &SeatSession::handleOwnerChanged);
    subscribed_ = bus_.connect(kService, seatPath_, kProperties, QStringLiteral("PropertiesChanged"), this,
                               SLOT(handlePropertiesChanged(QDBusMessage)));
    QDBusMessage call = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, QStringLiteral("GetNameOwner"));
    call << kService;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() || !owner_.isEmpty())
            return; // not there yet: the owner watcher starts the reading
        owner_ = reply.arguments().constFirst().toString();
        readActiveSession();
    });
}

SeatSession::~SeatSession()
{
    if (subscribed_)
        bus_.disconnect(kService, seatPath_, kProperties, QStringLiteral("PropertiesChanged"), this,
                        SLOT(handlePropertiesChanged(QDBusMessage)));
}

void SeatSession::handleOwnerChanged(const QString& name, const QString&, const QString& newOwner)
{
    if (name != kService)
        return;
    owner_ = newOwner;
    ++generation_;
    // Whatever logind said before is void once it is gone or replaced.
    set(std::nullopt, {});
    if (!owner_.isEmpty())
        readActiveSession();
}

void SeatSession::handlePropertiesChanged(const QDBusMessage& message)
{
    if (owner_.isEmpty() || message.service() != owner_)
        return;
    const QList<QVariant> args = message.arguments();
    if (args.size() < 3 || args.at(0).toString() != kSeat)
        return;
    const QVariantMap changed = qdbus_cast<QVariantMap>(args.at(1));
    if (changed.contains(QStringLiteral("ActiveSession"))
        || args.at(2).toStringList().contains(QStringLiteral("ActiveSession"))) {
        ++generation_;
        // Nothing is read for anyone while the new session is looked at.
        set(std::nullopt, {});
        readActiveSession();
    }
}

void SeatSession::readActiveSession()
{
    const quint64 generation = generation_;
    QDBusMessage get = QDBusMessage::createMethodCall(kService, seatPath_, kProperties, QStringLiteral("Get"));
    get << kSeat << QStringLiteral("ActiveSession");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, generation](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (generation != generation_)
            return;
        const QDBusMessage reply = w->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return set(std::nullopt, {});
        QString id;
        QDBusObjectPath path;
        if (!readPair(qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant(), id, path) || id.isEmpty()
            || path.path() == QLatin1String("/"))
            return set(std::nullopt, {});
        readSession(id, path.path(), generation);
    });
}

void SeatSession::readSession(const QString& id, const QString& path, quint64 generation)
{
    QDBusMessage get = QDBusMessage::createMethodCall(kService, path, kProperties, QStringLiteral("GetAll"));
    get << kSession;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, id, generation](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (generation != generation_)
            return;
        const QDBusMessage reply = w->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return set(std::nullopt, {});
        const QVariantMap props = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
        uint uid = 0;
        QDBusObjectPath userPath;
        const bool local = props.value(QStringLiteral("Remote"), true).toBool() == false
            && props.value(QStringLiteral("Class")).toString() == QLatin1String("user");
        if (!local || !readPair(props.value(QStringLiteral("User")), uid, userPath))
            return set(std::nullopt, {});
        set(uid, id);
    });
}

void SeatSession::set(std::optional<uint32_t> uid, const QString& sessionId)
{
    const bool uidChanged = uid != uid_;
    uid_ = uid;
    sessionId_ = sessionId;
    if (uidChanged)
        emit changed();
}

} // namespace kestrune
