#include "app/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrune {

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kQuitRequest = QByteArrayLiteral("quit\n");
const QByteArray kPauseRequest = QByteArrayLiteral("pause\n");
const QByteArray kResumeRequest = QByteArrayLiteral("resume\n");

const QByteArray& wireRequest(SingleInstance::Request request)
{
    switch (request) {
    case SingleInstance::Request::quit: return kQuitRequest;
    case SingleInstance::Request::pause: return kPauseRequest;
    case SingleInstance::Request::resume: return kResumeRequest;
    case SingleInstance::Request::show: break;
    }
    return kShowRequest;
}
constexpr int kConnectWaitMs = 2000;
constexpr qint64 kMaxRequestBytes = 64;
} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent, Scheduler* scheduler)
    : QObject(parent), folder_(folder), scheduler_(scheduler), lock_(folder + QStringLiteral("/kestrune.lock"))
{
    // A lock left by a process that died is taken over at once (the lock
    // names its process); a live holder keeps its lock however old it is,
    // since it also holds an flock on the file.
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath() + QStringLiteral("/kestrune-") + QString::number(::getuid());
    return folder;
}

bool SingleInstance::folderIsPrivate(bool create)
{
    const QByteArray path = QFile::encodeName(folder_);
    if (create && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        problem_ = tr("Kestrune cannot start: its folder %1 could not be created (%2).")
                       .arg(folder_, qt_error_string(errno));
        return false;
    }
    // lstat: a symbolic link in /tmp could lead anywhere.
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()
        || (st.st_mode & 0777) != 0700) {
        problem_ = tr("Kestrune cannot start: its folder %1 is not a private folder of yours (it must be owned by "
                      "you with mode 0700). Remove it and start Kestrune again.")
                       .arg(folder_);
        return false;
    }
    return true;
}

bool SingleInstance::claim(bool* notified)
{
    problem_.clear();
    if (notified)
        *notified = false;
    if (!folderIsPrivate(true))
        return false;
    if (!lock_.tryLock(0)) {
        const bool answered = notifyRunningInstance(kShowRequest);
        if (notified)
            *notified = answered;
        return false;
    }
    // Holding the lock makes any socket file left behind ours to replace.
    const QString socketPath = folder_ + QStringLiteral("/kestrune.socket");
    QLocalServer::removeServer(socketPath);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath)) {
        problem_ = tr("Another start of Kestrune cannot reach this one: %1 (%2).")
                       .arg(socketPath, server_->errorString());
        server_.reset();
        return true;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection())
            accept(socket);
    });
    return true;
}

void SingleInstance::accept(QLocalSocket* socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A client that connects and says nothing must not hold a connection open.
    QPointer<QLocalSocket> guarded(socket);
    const auto drop = [guarded] {
        if (guarded)
            guarded->abort();
    };
    if (scheduler_) {
        WorkItemPtr timeout = scheduler_->postAfter(kIdleTimeout, drop);
        connect(socket, &QObject::destroyed, [timeout] { timeout->cancel(); });
    } else {
        QTimer::singleShot(kIdleTimeout, socket, drop);
    }
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine() && socket->bytesAvailable() <= kMaxRequestBytes)
            return; // the rest of the line is still to come
        // One request per connection: the first line is read, the rest ignored.
        disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
        const QByteArray line = socket->canReadLine() ? socket->readLine(kMaxRequestBytes + 1) : QByteArray();
        socket->abort();
        if (line == kShowRequest)
            emit activationRequested();
        else if (line == kQuitRequest)
            emit quitRequested();
        else if (line == kPauseRequest || line == kResumeRequest)
            emit pauseRequested(line == kPauseRequest);
    });
}

bool SingleInstance::isHeldByAnother()
{
    // A lock that can be taken is nobody's (or a finished process's): give
    // it back at once, this process is not the instance.
    if (!lock_.tryLock(0))
        return lock_.error() == QLockFile::LockFailedError;
    lock_.unlock();
    return false;
}

SingleInstance::Delivery SingleInstance::send(Request request)
{
    problem_.clear();
    if (!QFileInfo::exists(folder_ + QStringLiteral("/kestrune.lock")))
        return Delivery::noInstance;
    if (!folderIsPrivate(false))
        return Delivery::untrusted;
    if (!isHeldByAnother())
        return Delivery::noInstance;
    return notifyRunningInstance(wireRequest(request)) ? Delivery::delivered : Delivery::noAnswer;
}

bool SingleInstance::waitUntilGone(Millis limit)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (!isHeldByAnother())
            return true;
        if (waited.elapsed() >= limit.count())
            return false;
        QThread::msleep(50);
    }
}

bool SingleInstance::notifyRunningInstance(const QByteArray& request)
{
    QLocalSocket socket;
    // The running instance may be between taking the lock and listening.
    for (int waited = 0; waited < kConnectWaitMs; waited += 200) {
        socket.connectToServer(folder_ + QStringLiteral("/kestrune.socket"));
        if (socket.waitForConnected(100))
            break;
        socket.abort();
        QThread::msleep(100);
    }
    if (socket.state() != QLocalSocket::ConnectedState)
        return false;
    socket.write(request);
    const bool written = socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
    return written;
}

} // namespace kestrune
