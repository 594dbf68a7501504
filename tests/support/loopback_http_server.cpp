#include "support/loopback_http_server.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <memory>
#include <optional>

namespace {

QByteArray reasonPhrase(int status)
{
    static const QHash<int, QByteArray> phrases = {
        {200, "OK"}, {401, "Unauthorized"}, {404, "Not Found"}, {429, "Too Many Requests"}, {500, "Internal Server Error"},
    };
    return phrases.value(status, "Status");
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

LoopbackHttpServer::LoopbackHttpServer(Thread thread, QObject *parent)
    : QObject(parent)
    , m_server(std::make_unique<QTcpServer>())
{
    if (thread == Thread::own) {
        m_thread = std::make_unique<QThread>();
        m_thread->start();
        m_server->moveToThread(m_thread.get());
    }
    onServingThread([this] {
        m_server->listen(QHostAddress::LocalHost, 0);
        m_port = m_server->serverPort();
        connect(m_server.get(), &QTcpServer::newConnection, m_server.get(), [this] { accept(); });
    });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    if (!m_thread)
        return;
    // The server and its sockets are deleted on their own thread as it ends.
    m_server.release()->deleteLater();
    m_thread->quit();
    m_thread->wait();
}

void LoopbackHttpServer::onServingThread(const std::function<void()> &work)
{
    if (m_thread)
        QMetaObject::invokeMethod(m_server.get(), work, Qt::BlockingQueuedConnection);
    else
        work();
}

QUrl LoopbackHttpServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port));
}

QUrl LoopbackHttpServer::url(const QByteArray &path) const
{
    return QUrl(baseUrl().toString() + QString::fromLatin1(path));
}

void LoopbackHttpServer::setHandler(Handler handler)
{
    std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
}

void LoopbackHttpServer::respondWith(const Response &response)
{
    setHandler([response](const Request &) { return response; });
}

void LoopbackHttpServer::respond(const QByteArray &path, const QByteArray &body, int status)
{
    respond(path, status == 0 ? Response::dropped() : Response{status, body});
}

void LoopbackHttpServer::respond(const QByteArray &path, const Response &response)
{
    std::lock_guard lock(m_mutex);
    m_answers.insert(path, response);
}

QList<LoopbackHttpServer::Request> LoopbackHttpServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

LoopbackHttpServer::Response LoopbackHttpServer::answer(const Request &request)
{
    Handler handler;
    {
        std::lock_guard lock(m_mutex);
        m_requests.append(request);
        if (!m_handler)
            return m_answers.value(request.path, Response{404, {}});
        handler = m_handler;
    }
    return handler(request);
}

void LoopbackHttpServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const std::optional<Request> request = parseRequest(*buffer);
            if (!request)
                return;
            buffer->clear();
            const Response response = answer(*request);
            if (response.neverAnswer)
                return;
            if (response.dropConnection) {
                socket->abort();
                return;
            }
            const qsizetype announced = response.body.size() + (response.truncated || response.stalls ? 1000 : 0);
            QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status)
                              + "\r\nContent-Type: application/json\r\nConnection: close\r\n";
            if (!response.unannounced)
                head += "Content-Length: " + QByteArray::number(announced) + "\r\n";
            for (const auto &[name, value] : response.headers)
                head += name + ": " + value + "\r\n";
            socket->write(head + "\r\n" + response.body);
            if (!response.stalls)
                socket->disconnectFromHost();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}
