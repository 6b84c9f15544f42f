#include "platform/web/tests/LocalHttpServer.h"

#include <QTcpSocket>

LocalHttpServer::LocalHttpServer()
{
    connect(&server_, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
    server_.listen(QHostAddress::LocalHost, 0);
}

QString LocalHttpServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void LocalHttpServer::release(const QByteArray& targetOrPath)
{
    Reply reply = routes_.value(targetOrPath);
    reply.held = false;
    for (qsizetype i = held_.size() - 1; i >= 0; --i) {
        if (held_[i].route != targetOrPath)
            continue;
        if (held_[i].socket)
            answer(held_[i].socket, reply);
        held_.removeAt(i);
    }
}

void LocalHttpServer::accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            for (const Pending& pending : held_) {
                if (pending.socket == socket)
                    closedByPeer << QString::fromUtf8(pending.route);
            }
            buffers_.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::readRequest(QTcpSocket* socket)
{
    QByteArray& buffer = buffers_[socket];
    buffer += socket->readAll();
    if (!buffer.contains("\r\n\r\n"))
        return;
    // "GET /cellid_location/?&cellid=314 HTTP/1.1"
    const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
    buffer.clear();
    const QByteArray target = requestLine.value(1);
    const QByteArray path =
        target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
    targets << QString::fromUtf8(target);

    const QByteArray key = routes_.contains(target) ? target : path;
    const auto route = routes_.constFind(key);
    if (route == routes_.cend()) {
        answer(socket, Reply{404, "text/plain", "no such path", {}, false});
        return;
    }
    if (route->held) {
        held_ << Pending{socket, key};
        return;
    }
    answer(socket, *route);
}

void LocalHttpServer::answer(QTcpSocket* socket, const Reply& reply)
{
    // Clients read the status code; the reason phrase is free text.
    QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) + " Test\r\n";
    if (!reply.contentType.isEmpty())
        response += "Content-Type: " + reply.contentType + "\r\n";
    for (const auto& [name, value] : reply.headers)
        response += name + ": " + value + "\r\n";
    response += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n";
    response += reply.body;
    socket->write(response);
    socket->disconnectFromHost();
}

quint16 unusedLocalPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}
