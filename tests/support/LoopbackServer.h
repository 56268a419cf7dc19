// A small HTTP server on the loopback interface for the update tests: each path answers with
// a status, headers and a body the test sets, with the Content-Length true, false or missing,
// and bytes that may follow the body a moment later. Never the internet.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

struct TRoute
{
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    bool sendLength = true;
    qint64 declaredLength = -1; // -1: the body's own length
    bool hold = false;          // keep the connection open after the body (a stalled transfer)
    QByteArray late = {};       // sent 100 ms after the body, in a segment of its own
    QByteArray reason = "Answer"; // the status line's reason phrase
};

class TLoopbackServer : public QObject
{
public:
    TLoopbackServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Serve(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    bool Listening() const { return server_.isListening(); }
    QString Url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }
    void Set(const QByteArray& path, const TRoute& route) { routes_[path] = route; }
    // A page of META lines.
    static QByteArray Page(const QList<QPair<QByteArray, QByteArray>>& tags)
    {
        QByteArray page = "<html><head>\r\n";
        for (const auto& tag : tags)
            page += "<META NAME=\"" + tag.first + "\" CONTENT=\"" + tag.second + "\">\r\n";
        return page + "</head><body></body></html>\r\n";
    }
    int Hits(const QByteArray& path) const { return hits_.value(path); }

private:
    void Serve(QTcpSocket* socket)
    {
        QByteArray& request = pending_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        pending_.remove(socket);
        ++hits_[path];
        const TRoute route = routes_.value(path, TRoute{404, "not here", {}, true, -1, false});
        QByteArray head =
            "HTTP/1.1 " + QByteArray::number(route.status) + " " + route.reason + "\r\n";
        for (const auto& h : route.headers)
            head += h.first + ": " + h.second + "\r\n";
        if (route.sendLength)
            head += "Content-Length: " +
                    QByteArray::number(route.declaredLength >= 0 ? route.declaredLength
                                                                 : route.body.size()) +
                    "\r\n";
        head += "Connection: close\r\n\r\n";
        socket->write(head + route.body);
        socket->flush();
        if (!route.late.isEmpty()) {
            QTimer::singleShot(100, socket, [socket, route] {
                socket->write(route.late);
                socket->flush();
                if (!route.hold)
                    socket->disconnectFromHost();
            });
            return;
        }
        if (!route.hold)
            socket->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QByteArray, TRoute> routes_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QHash<QByteArray, int> hits_;
};
