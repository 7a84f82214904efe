#include "platform/linux/LogindSession.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QPointer>

#include <unistd.h>

namespace kestrune {

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
const QString kUser = QStringLiteral("org.freedesktop.login1.User");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");

// The object path a reply carries as its first argument, if any.
QString replyPath(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qvariant_cast<QDBusObjectPath>(reply.arguments().constFirst()).path();
}

// A property's value from a Properties.Get reply.
QVariant replyValue(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant();
}
} // namespace

LogindSession::LogindSession(const QDBusConnection& bus, const QString& sessionId, QObject* parent)
    : QObject(parent)
    , bus_(bus)
    , sessionId_(sessionId)
{
    if (!bus_.isConnected()) {
        QMetaObject::invokeMethod(this, &LogindSession::ready, Qt::QueuedConnection);
        return;
    }
    // Who owns logind's name now, and whenever that changes: only that peer
    // speaks for logind.
    auto* owners = new QDBusServiceWatcher(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owners, &QDBusServiceWatcher::serviceOwnerChanged, this, &LogindSession::handleOwnerChanged);
    QDBusMessage call = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, QStringLiteral("GetNameOwner"));
    call << kService;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() && owner_.isEmpty())
            owner_ = reply.arguments().constFirst().toString();
        findSession(0);
    });
}

LogindSession::~LogindSession()
{
    if (subscribed_)
        bus_.disconnect(kService, path_, kProperties, QStringLiteral("PropertiesChanged"), this,
                        SLOT(handlePropertiesChanged(QDBusMessage)));
}

void LogindSession::callManager(const QString& method, const QVariantList& args,
                                std::function<void(const QDBusMessage&)> done)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kManagerPath, kManager, method);
    call.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [done = std::move(done)](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        done(w->reply());
    });
}

// Tries, in turn: the session named by XDG_SESSION_ID, the session of this
// process, and the display session of our user.
void LogindSession::findSession(int step)
{
    auto next = [this, step](const QDBusMessage& reply) {
        const QString path = replyPath(reply);
        if (!path.isEmpty())
            watch(path);
        else
            findSession(step + 1);
    };
    switch (step) {
    case 0:
        if (!sessionId_.isEmpty()) {
            callManager(QStringLiteral("GetSession"), {sessionId_}, next);
            return;
        }
        [[fallthrough]];
    case 1:
        callManager(QStringLiteral("GetSessionByPID"), {static_cast<uint>(::getpid())},
                    [this, next](const QDBusMessage& reply) {
                        if (!replyPath(reply).isEmpty())
                            next(reply);
                        else
                            findSession(2);
                    });
        return;
    case 2:
        callManager(QStringLiteral("GetUser"), {static_cast<uint>(::getuid())}, [this](const QDBusMessage& reply) {
            const QString user = replyPath(reply);
            if (user.isEmpty()) {
                emit ready(); // no session to follow: counted as active
                return;
            }
            QDBusMessage get = QDBusMessage::createMethodCall(kService, user, kProperties, QStringLiteral("Get"));
            get << kUser << QStringLiteral("Display");
            auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(get), this);
            connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                // Display is a (session id, object path) structure.
                QString path;
                const QVariant value = replyValue(w->reply());
                if (value.canConvert<QDBusArgument>()) {
                    const QDBusArgument arg = value.value<QDBusArgument>();
                    QString id;
                    QDBusObjectPath object;
                    arg.beginStructure();
                    arg >> id >> object;
                    arg.endStructure();
                    if (!id.isEmpty())
                        path = object.path();
                }
                if (path.isEmpty() || path == QLatin1String("/"))
                    emit ready();
                else
                    watch(path);
            });
        });
        return;
    default:
        emit ready();
    }
}

void LogindSession::watch(const QString& path)
{
    path_ = path;
    // Subscribed before the first read, so that no change falls between them.
    subscribed_ = bus_.connect(kService, path_, kProperties, QStringLiteral("PropertiesChanged"), this,
                               SLOT(handlePropertiesChanged(QDBusMessage)));
    readActive();
}

void LogindSession::readActive()
{
    QDBusMessage get = QDBusMessage::createMethodCall(kService, path_, kProperties, QStringLiteral("Get"));
    get << kSession << QStringLiteral("Active");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QVariant value = replyValue(w->reply());
        if (value.isValid())
            setActive(value.toBool());
        emit ready();
    });
}

void LogindSession::handleOwnerChanged(const QString& name, const QString&, const QString& newOwner)
{
    if (name == kService)
        owner_ = newOwner;
}

void LogindSession::handlePropertiesChanged(const QDBusMessage& message)
{
    // Qt matches the signal by logind's name; the sender is checked here as
    // well, so that no other peer can pass for logind.
    if (owner_.isEmpty() || message.service() != owner_)
        return;
    const QList<QVariant> args = message.arguments();
    if (args.size() < 3 || args.at(0).toString() != kSession)
        return;
    const QVariantMap changed = qdbus_cast<QVariantMap>(args.at(1));
    if (const auto it = changed.constFind(QStringLiteral("Active")); it != changed.constEnd()) {
        setActive(it->toBool());
        return;
    }
    if (args.at(2).toStringList().contains(QStringLiteral("Active")))
        readActive(); // changed without its value: ask for it
}

void LogindSession::setActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    if (handler_) {
        const auto handler = handler_; // may replace itself
        handler(active);
    }
    emit activeChanged(active);
}

} // namespace kestrune
