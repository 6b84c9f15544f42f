#include "platform/web/tests/LocalHttpServer.h"

#include <QRegularExpression>

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
    // Answered once the header is there, and as much body as its Content-Length announces.
    static const QRegularExpression length("\r\ncontent-length: *(\\d+)",
                                           QRegularExpression::CaseInsensitiveOption);
    const QByteArray data = socket->peek(socket->bytesAvailable());
    const qsizetype headEnd = data.indexOf("\r\n\r\n");
    const QString head = QString::fromLatin1(data.left(headEnd));
    if (headEnd < 0 || data.size() < headEnd + 4 + length.match(head).captured(1).toLongLong())
        return;
    requests << socket->readAll();
    const QList<QByteArray> requestLine = data.split(' '); // "GET <target> HTTP/1.1"
    const QByteArray target = requestLine.value(1);
    targets << QString::fromUtf8(target);
    QByteArray key = routes_.contains(target) ? target : target.split('?').first();
    if (routes_.contains(requestLine.value(0) + ' ' + key))
        key = requestLine.value(0) + ' ' + key;
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
