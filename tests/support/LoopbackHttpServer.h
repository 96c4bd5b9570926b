#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A one-file HTTP server on 127.0.0.1 that answers every request the way a test asks.
class LoopbackHttpServer : public QTcpServer
{
public:
    enum Mode { Answer, Silent, Trickle, Huge, RedirectLoop, RedirectOnce, NotFound };

    LoopbackHttpServer(Mode mode, QByteArray body = {}, QByteArray contentType = "text/plain")
        : m_mode(mode)
        , m_body(std::move(body))
        , m_contentType(std::move(contentType))
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        });
    }

    QString url(const QString &path = QStringLiteral("/SiteBack/updateTxt/10.txt")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }

    int requests() const { return m_requests; }

private:
    void answer(QTcpSocket *socket)
    {
        if (!socket->canReadLine() || socket->property("answered").toBool())
            return;
        socket->setProperty("answered", true);
        switch (m_mode) {
        case Silent:
            break;
        case Trickle: {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\nversion: 9");
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] { socket->write("9"); });
            timer->start(50);
            break;
        }
        case Huge:
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n"
                          "version: 99\r\n\r\n");
            for (int i = 0; i < 64; ++i)
                socket->write(QByteArray(16 * 1024, 'x'));
            socket->disconnectFromHost();
            break;
        case RedirectOnce:
            // The first request of a path is sent on to the same path marked as moved.
            if (!socket->peek(1024).split('\n').first().contains("?moved")) {
                const QByteArray path = socket->peek(1024).split(' ').value(1);
                socket->write("HTTP/1.1 302 Found\r\nLocation: " + path + "?moved"
                    + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
                break;
            }
            [[fallthrough]];
        case Answer:
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + m_contentType + "\r\nContent-Length: "
                + QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
            ++m_requests;
            socket->disconnectFromHost();
            break;
        case NotFound:
            socket->write("HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: 9\r\n"
                          "Connection: close\r\n\r\nnot found");
            socket->disconnectFromHost();
            break;
        case RedirectLoop:
            socket->write("HTTP/1.1 302 Found\r\nLocation: " + url().toLatin1()
                + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            break;
        }
    }

    Mode m_mode;
    QByteArray m_body;
    QByteArray m_contentType;
    int m_requests = 0;
};
