#pragma once
// The machine going to sleep and waking, from logind's PrepareForSleep signal.
//
// While watching, it holds a logind "delay" inhibitor lock for sleep, so the
// system waits (logind's InhibitDelayMaxSec, 5 s by default) until
// `beforeSleep` has run; the lock is dropped right after it and taken again
// on wake. Without logind (no system bus, or no such service) no notices come
// and nothing fails.
//
// Main thread only: construction, hooks and handlers.

#include "platform/System.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>

namespace kestrune {

class LogindWakeNotifier final : public QObject, public WakeNotifier {
    Q_OBJECT

public:
    // Watches logind on `bus`: the system bus in the product, a private bus
    // in tests. The connection must live as long as the notifier.
    explicit LogindWakeNotifier(const QDBusConnection& bus = QDBusConnection::systemBus(), QObject* parent = nullptr);
    ~LogindWakeNotifier() override;

    // Runs after each wake; an empty function removes it.
    void setWakeHandler(std::function<void()> handler) override;

    // Runs when the machine is about to sleep, while the delay lock still
    // holds the system back: the composition root releases every key the
    // virtual keyboard holds here. The lock is let go when it returns, so it
    // should return once the releases are written (a short, bounded wait for
    // the tap thread is fine; logind stops waiting after its delay anyway).
    std::function<void()> beforeSleep;

    // Whether the PrepareForSleep signal is subscribed.
    bool isWatching() const { return watching_; }
    // Whether the delay lock is held right now.
    bool holdsSleepDelay() const { return delayLock_ >= 0; }

signals:
    // After the hooks for a notice ran: true before sleep, false after wake.
    void sleepNoticeHandled(bool sleeping);
    // The delay lock was taken or dropped.
    void sleepDelayChanged();

private slots:
    void handlePrepareForSleep(bool sleeping);

private:
    void takeSleepDelay();
    void dropSleepDelay();

    QDBusConnection bus_;
    std::function<void()> wakeHandler_;
    bool watching_ = false;
    bool sleeping_ = false;
    bool delayRequested_ = false; // an Inhibit call is on its way
    int delayLock_ = -1;          // our copy of the inhibitor's descriptor
};

} // namespace kestrune
