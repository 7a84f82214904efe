#pragma once
// Kestrune runs once per user. The first process holds a lock file and
// listens on a local socket in the user's runtime folder; a later one finds
// the lock taken, asks the first to show its panel, and exits without ever
// starting a second engine. The command line's --show, --quit, --pause and
// --resume use the same socket (send()) without ever claiming.
//
// The folder must be a real folder of this user with mode 0700 (the /tmp
// fallback could have been made by anyone); otherwise nothing in it is
// trusted and claim() refuses. The listener acts on at most one request per
// connection and drops a connection idle for kIdleTimeout. Main thread.

#include "base/Scheduler.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace kestrune {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr Millis kIdleTimeout{3000};

    // What another process may ask of the running instance.
    enum class Request { show, quit, pause, resume };
    // What became of a request sent with send().
    enum class Delivery {
        noInstance, // nothing holds the lock: no Kestrune runs for this user
        delivered,  // the running instance has the request
        noAnswer,   // one runs but its socket did not take the request
        untrusted,  // the folder is not private; problem() says why
    };

    // `folder`: where the lock and the socket live (the runtime folder).
    // `scheduler`, when given, times idle connections (tests use a virtual
    // clock); otherwise Qt timers do.
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr, Scheduler* scheduler = nullptr);
    ~SingleInstance() override;

    // True when this process is the one instance from now on. False when
    // another holds the lock; it has then been asked to show its panel
    // (`notified` tells whether it answered). Also false, with problem()
    // set, when the folder cannot be trusted.
    bool claim(bool* notified = nullptr);

    // What went wrong in claim(), for the user; empty when nothing did. Set
    // with a true claim when the socket could not listen (this process still
    // runs, but later launches cannot reach it).
    QString problem() const { return problem_; }

    // As a client, never claiming: delivers `request` to the instance that
    // holds the lock. Makes nothing in the folder.
    Delivery send(Request request);

    // After a quit request: waits (blocking, up to `limit`) until the
    // running instance has let go of its lock, i.e. has finished its
    // termination. True when it has.
    bool waitUntilGone(Millis limit);

    static QString defaultFolder();

signals:
    // Another launch asked the running instance to show itself.
    void activationRequested();
    // Another process (kestrune --quit) asked the running instance to quit.
    void quitRequested();
    // kestrune --pause / --resume: remapping paused (true) or resumed.
    void pauseRequested(bool paused);

private:
    bool folderIsPrivate(bool create);
    bool isHeldByAnother();
    void accept(QLocalSocket* socket);
    bool notifyRunningInstance(const QByteArray& request);

    QString folder_;
    Scheduler* scheduler_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
    QString problem_;
};

} // namespace kestrune
