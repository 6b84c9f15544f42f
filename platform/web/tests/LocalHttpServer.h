#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A small HTTP/1.1 responder on 127.0.0.1 for tests. A route answers either one exact request
// target or, failing that, every target of a path (the part before "?"); a held route keeps the
// connection open without answering until release() is called. Unknown paths get a 404.
class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Reply {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        bool held = false;
    };

    LocalHttpServer();
    quint16 port() const { return server_.serverPort(); }
    QString base() const; // "http://127.0.0.1:<port>"

    void route(const QByteArray& targetOrPath, const Reply& reply)
    {
        routes_[targetOrPath] = reply;
    }
    void release(const QByteArray& targetOrPath);

    QStringList targets;      // every request target, as it arrived
    QStringList closedByPeer; // held routes whose connection the client closed before the answer

private:
    struct Pending {
        QPointer<QTcpSocket> socket;
        QByteArray route;
    };
    void accept();
    void readRequest(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Reply& reply);

    QTcpServer server_;
    QHash<QByteArray, Reply> routes_;
    QHash<QTcpSocket*, QByteArray> buffers_;
    QList<Pending> held_;
};

// A port on 127.0.0.1 with nothing listening: one the system just handed out and took back.
quint16 unusedLocalPort();
