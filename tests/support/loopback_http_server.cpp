#include "support/loopback_http_server.h"

#include <QTcpSocket>

LoopbackHttpServer::LoopbackHttpServer(QObject *parent) : QObject(parent)
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl LoopbackHttpServer::url() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()));
}

void LoopbackHttpServer::respond(const QString &path, const QByteArray &body, int status,
                                 const QByteArray &contentType)
{
    m_answers.insert(path, Answer{status, contentType, body});
}

void LoopbackHttpServer::serve(QTcpSocket *socket)
{
    // The request stays in the socket's buffer until head and body are in.
    const QByteArray pending = socket->peek(socket->bytesAvailable());
    const qsizetype headEnd = pending.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    const QList<QByteArray> lines = pending.left(headEnd).split('\n');
    Request request;
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    const QUrl target(QString::fromLatin1(requestLine.value(1)));
    request.path = target.path();
    request.query = target.query(QUrl::FullyEncoded);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (pending.size() < headEnd + 4 + length)
        return;
    request.body = pending.mid(headEnd + 4, length);
    socket->readAll();
    m_requests.append(request);

    const Answer answer = m_answers.value(request.path, Answer{404, "text/plain", "not found"});
    if (answer.status <= 0) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(answer.status) + " Canned\r\n";
    reply += "Content-Type: " + answer.contentType + "\r\n";
    reply += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    reply += "Connection: close\r\n\r\n";
    reply += answer.body;
    socket->write(reply);
    socket->disconnectFromHost();
}
