#include "platform/linux/LogindWakeNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QPointer>

#include <fcntl.h>
#include <unistd.h>

namespace kestrune {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

LogindWakeNotifier::LogindWakeNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , bus_(bus)
{
    if (!bus_.isConnected())
        return;
    // Naming the service makes Qt accept the signal only from the name's
    // current owner, not from any peer on the bus.
    watching_ = bus_.connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this,
                             SLOT(handlePrepareForSleep(bool)));
    if (watching_)
        takeSleepDelay();
}

LogindWakeNotifier::~LogindWakeNotifier()
{
    if (watching_)
        bus_.disconnect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this,
                        SLOT(handlePrepareForSleep(bool)));
    if (delayLock_ >= 0)
        ::close(delayLock_);
}

void LogindWakeNotifier::setWakeHandler(std::function<void()> handler) { wakeHandler_ = std::move(handler); }

void LogindWakeNotifier::handlePrepareForSleep(bool sleeping)
{
    sleeping_ = sleeping;
    if (sleeping) {
        if (beforeSleep) {
            const auto hook = beforeSleep;
            hook();
        }
        dropSleepDelay(); // lets the system go on to sleep
    } else {
        takeSleepDelay();
        if (wakeHandler_) {
            const auto handler = wakeHandler_; // may replace itself
            handler();
        }
    }
    emit sleepNoticeHandled(sleeping);
}

void LogindWakeNotifier::takeSleepDelay()
{
    if (delayLock_ >= 0 || delayRequested_)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Kestrune")
         << QStringLiteral("Release held keys before the system sleeps") << QStringLiteral("delay");
    delayRequested_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        delayRequested_ = false;
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        if (reply.isError() || !reply.value().isValid())
            return; // no logind, or it refused: notices still come, unguarded
        // A reply that arrives after the sleep notice must not hold the
        // system back any longer; dropping the watcher closes Qt's copies.
        if (sleeping_)
            return;
        delayLock_ = ::fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 3);
        if (delayLock_ >= 0)
            emit sleepDelayChanged();
    });
}

void LogindWakeNotifier::dropSleepDelay()
{
    if (delayLock_ < 0)
        return;
    ::close(delayLock_);
    delayLock_ = -1;
    emit sleepDelayChanged();
}

} // namespace kestrune
