#include "update_http_server.h"

#include <QTcpServer>
#include <QTcpSocket>

UpdateHttpServer::UpdateHttpServer()
{
    start();
    m_ready.acquire();
}

UpdateHttpServer::~UpdateHttpServer()
{
    quit();
    wait();
}

void UpdateHttpServer::serve(const QString &path, Response response)
{
    std::lock_guard lock(m_mutex);
    m_routes.insert(path, std::move(response));
}

QUrl UpdateHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
}

QStringList UpdateHttpServer::requestedPaths() const
{
    std::lock_guard lock(m_mutex);
    return m_requested;
}

UpdateHttpServer::Response UpdateHttpServer::responseFor(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_requested.append(path);
    return m_routes.value(path, Response{404, "<html><body>Not Found</body></html>", "text/html", false});
}

void UpdateHttpServer::run()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    m_port = server.serverPort();
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray head = socket->peek(socket->bytesAvailable());
                if (!head.contains("\r\n\r\n"))
                    return;
                socket->readAll();
                const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
                const QString path = requestLine.size() > 1 ? QString::fromUtf8(requestLine[1]) : QString();
                const Response response = responseFor(path);
                const qsizetype announced = response.body.size() + (response.truncated ? 1000 : 0);
                QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + " Status\r\nContent-Type: "
                    + response.contentType + "\r\nContent-Length: " + QByteArray::number(announced)
                    + "\r\nConnection: close\r\n\r\n" + response.body;
                socket->write(reply);
                socket->disconnectFromHost();
            });
        }
    });
    m_ready.release();
    exec();
}
