#include "platform/web/tests/LocalHttpServer.h"

LocalHttpServer::LocalHttpServer()
{
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                if (const QVariant route = socket->property("heldRoute"); route.isValid())
                    closedByPeer << route.toString();
                socket->deleteLater();
            });
        }
    });
    server_.listen(QHostAddress::LocalHost, 0);
}

void LocalHttpServer::readRequest(QTcpSocket* socket)
{
    // The request line is all that is read, once the whole header is there.
    if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
        return;
    const QByteArray target = socket->readAll().split(' ').value(1); // "GET <target> HTTP/1.1"
    targets << QString::fromUtf8(target);
    const QByteArray key = routes_.contains(target) ? target : target.split('?').first();
    const Reply reply = routes_.value(key, {404, "text/plain", "no such path", {}, false});
    if (reply.held)
        socket->setProperty("heldRoute", QString::fromUtf8(key));
    else
        answer(socket, reply);
}

void LocalHttpServer::answer(QTcpSocket* socket, const Reply& reply)
{
    // Clients read the status code; the reason phrase is free text.
    QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) + " Test\r\n";
    if (!reply.contentType.isEmpty())
        response += "Content-Type: " + reply.contentType + "\r\n";
    bool lengthGiven = false;
    for (const auto& [name, value] : reply.headers) {
        response += name + ": " + value + "\r\n";
        lengthGiven = lengthGiven || name.compare("Content-Length", Qt::CaseInsensitive) == 0;
    }
    if (!lengthGiven)
        response += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    socket->write(response + "Connection: close\r\n\r\n" + reply.body);
    socket->disconnectFromHost();
}

quint16 unusedLocalPort()
{
    QTcpServer probe; // closed again when it goes
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}
