#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <unistd.h>

namespace kestrune {

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
constexpr int kConnectWaitMs = 2000;
} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder), lock_(folder + QStringLiteral("/kestrune.lock"))
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

bool SingleInstance::claim(bool* notified)
{
    QDir().mkpath(folder_);
    if (!lock_.tryLock(0)) {
        const bool answered = notifyRunningInstance();
        if (notified)
            *notified = answered;
        return false;
    }
    // Holding the lock makes any socket file left behind ours to replace.
    const QString socketPath = folder_ + QStringLiteral("/kestrune.socket");
    QLocalServer::removeServer(socketPath);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(socketPath);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    if (socket->readLine() == kShowRequest)
                        emit activationRequested();
                }
                // Only one short request is ever expected per connection.
                if (socket->bytesAvailable() > 64)
                    socket->abort();
            });
        }
    });
    return true;
}

bool SingleInstance::notifyRunningInstance()
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
    socket.write(kShowRequest);
    const bool written = socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
    return written;
}

} // namespace kestrune
