#include "support/loopback_http_server.h"

#include <QTcpSocket>

#include <memory>
#include <optional>

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 401:
        return "Unauthorized";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

// A whole request once `buffer` holds its head and Content-Length bytes.
std::optional<LoopbackHttpServer::Request> parseRequest(const QByteArray &buffer)
{
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    LoopbackHttpServer::Request request;
    const QList<QByteArray> start = lines.first().trimmed().split(' ');
    if (start.size() >= 2) {
        request.method = start.at(0);
        const QByteArray target = start.at(1);
        const qsizetype question = target.indexOf('?');
        request.path = question < 0 ? target : target.left(question);
        request.query = question < 0 ? QByteArray() : target.mid(question + 1);
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0)
            request.headers.insert(lines.at(i).left(colon).trimmed().toLower(), lines.at(i).mid(colon + 1).trimmed());
    }
    const qsizetype length = request.header("content-length").toLongLong();
    if (buffer.size() - headEnd - 4 < length)
        return std::nullopt;
    request.body = buffer.mid(headEnd + 4, length);
    return request;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(QObject *parent)
    : QObject(parent)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::accept);
}

QUrl LoopbackHttpServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()));
}

void LoopbackHttpServer::respondWith(const Response &response)
{
    m_handler = [response](const Request &) { return response; };
}

void LoopbackHttpServer::respond(const QByteArray &path, const QByteArray &body, int status)
{
    m_answers.insert(path, status == 0 ? Response::dropped() : Response{status, body});
}

void LoopbackHttpServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const std::optional<Request> request = parseRequest(*buffer);
            if (!request)
                return;
            buffer->clear();
            m_requests.append(*request);
            const Response response = m_handler ? m_handler(*request) : m_answers.value(request->path, Response{404, {}});
            if (response.neverAnswer)
                return;
            if (response.dropConnection) {
                socket->abort();
                return;
            }
            QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status)
                              + "\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: "
                              + QByteArray::number(response.body.size()) + "\r\n";
            for (const auto &[name, value] : response.headers)
                head += name + ": " + value + "\r\n";
            socket->write(head + "\r\n" + response.body);
            socket->disconnectFromHost();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}
