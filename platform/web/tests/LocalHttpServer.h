#pragma once

#include <QHash>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

// A small HTTP/1.1 responder on 127.0.0.1 for tests. A route answers either one exact request
// target or, failing that, every target of a path (the part before "?"); a route named with its
// method ("POST /path") answers that method before a route without one does. A held route keeps
// the connection open and never answers. Unknown paths get a 404. The connection is closed after
// the body, so a Content-Length among the headers, which replaces the body's own, can cut it short.
class LocalHttpServer : public QObject
{
public:
    struct Reply {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        bool held = false;
    };

    LocalHttpServer();
    QString base() const { return QString("http://127.0.0.1:%1").arg(server_.serverPort()); }
    void route(const QByteArray& targetOrPath, const Reply& reply)
    {
        routes_[targetOrPath] = reply;
    }

    QStringList targets;        // every request target, as it arrived
    QList<QByteArray> requests; // every request whole, head and body
    QStringList closedByPeer;   // held routes whose connection the client closed before the answer

private:
    void readRequest(QTcpSocket* socket);
    static void answer(QTcpSocket* socket, const Reply& reply);

    QTcpServer server_;
    QHash<QByteArray, Reply> routes_;
};

// A port on 127.0.0.1 with nothing listening: one the system just handed out and took back.
quint16 unusedLocalPort();
