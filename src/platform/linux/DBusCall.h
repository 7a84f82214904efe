#pragma once
// One D-Bus method call without waiting for its answer: the reply, or the
// error in its place, reaches `then` on the context's thread, unless the
// context is gone by then.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QObject>

#include <functional>

namespace kestrune::dbus {

inline constexpr int kSwitchTimeoutMs = 2000;

inline void callAsync(const QDBusConnection& bus, const QDBusMessage& message, QObject* context,
                      std::function<void(const QDBusMessage&)> then, int timeoutMs = kSwitchTimeoutMs)
{
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, timeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, then = std::move(then)] {
                         watcher->deleteLater();
                         then(watcher->reply());
                     });
}

inline bool failed(const QDBusMessage& reply) { return reply.type() != QDBusMessage::ReplyMessage; }

// A failed call's reason, in the service's words where it gave some.
inline QString problemOf(const QDBusMessage& reply)
{
    return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
}

} // namespace kestrune::dbus
