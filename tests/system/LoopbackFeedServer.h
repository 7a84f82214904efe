#pragma once
// A feed server for the update tests: listens on 127.0.0.1 and answers each
// request with the one canned HTTP/1.1 response, then closes the connection.
// Main thread; needs the event loop running (waitUntil). Plain http, so only
// a checker made with LoopbackHttpForTests reads it.

#include "support/ViewHarness.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>
#include <memory>

namespace kestrune::test {

class LoopbackFeedServer {
public:
    LoopbackFeedServer()
    {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                serve(socket);
        });
    }

    // `extraHeaders`: complete lines, each ending in "\r\n".
    void respond(const QByteArray& body, const QByteArray& status = "200 OK", const QByteArray& extraHeaders = {})
    {
        response_ = "HTTP/1.1 " + status + "\r\nContent-Type: application/rss+xml\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
    }

    QUrl url(const QString& path = QStringLiteral("/appcast.xml")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
    }
    int requestCount() const { return requests_; }

private:
    void serve(QTcpSocket* socket)
    {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto request = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
            *request += socket->readAll();
            if (!request->contains("\r\n\r\n"))
                return;
            request->clear();
            ++requests_;
            socket->write(response_);
            socket->disconnectFromHost();
        });
    }

    QTcpServer server_;
    QByteArray response_;
    int requests_ = 0;
};

// A port on 127.0.0.1 that nobody listens on.
inline quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// A minimal appcast around `items`.
inline QByteArray appcast(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n"
           "<channel><title>Kestrune</title>\n"
        + items + "</channel></rss>\n";
}

} // namespace kestrune::test
