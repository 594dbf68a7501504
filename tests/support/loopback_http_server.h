#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QUrl>

#include <functional>
#include <memory>
#include <mutex>

class QTcpServer;
class QThread;

// A small HTTP/1.1 server on 127.0.0.1 for tests: it records every request
// and answers each, one request per connection, with what the handler
// returns, else with the canned answer for its path, else 404.
class LoopbackHttpServer : public QObject
{
    Q_OBJECT

public:
    // `own`: serves from a thread of its own, so that a client blocking the
    // test's thread is still answered; the handler then runs on that thread.
    enum class Thread { caller, own };

    struct Request
    {
        QByteArray method;
        QByteArray path; // without the query
        QByteArray query; // encoded, as sent
        QHash<QByteArray, QByteArray> headers; // names lower-cased
        QByteArray body;

        QByteArray header(const QByteArray &name) const { return headers.value(name.toLower()); }
    };

    struct Response
    {
        Response() = default;
        Response(int status, QByteArray body, QList<QPair<QByteArray, QByteArray>> headers = {})
            : status(status), body(std::move(body)), headers(std::move(headers))
        {
        }
        // Keeps the connection open and never answers.
        static Response silent()
        {
            Response response;
            response.neverAnswer = true;
            return response;
        }
        // Closes the connection without an answer.
        static Response dropped()
        {
            Response response;
            response.dropConnection = true;
            return response;
        }

        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        bool neverAnswer = false;
        bool dropConnection = false;
        // Announces more bytes than it sends, then hangs up.
        bool truncated = false;
        // Announces more bytes than it sends, then keeps the connection
        // open without sending anything more.
        bool stalls = false;
        // Announces no length: the body ends when the connection closes, so
        // only the bytes received tell the client how large it is.
        bool unannounced = false;
    };
    using Handler = std::function<Response(const Request &)>;

    // Listens on a free port of 127.0.0.1 at once.
    explicit LoopbackHttpServer(Thread thread = Thread::caller, QObject *parent = nullptr);
    ~LoopbackHttpServer() override;

    // http://127.0.0.1:<port>
    QUrl baseUrl() const;
    // The base URL followed by `path`, which starts with "/".
    QUrl url(const QByteArray &path) const;
    void setHandler(Handler handler);
    // Every request gets `response`.
    void respondWith(const Response &response);
    // Requests for `path` get `body`; a status of 0 drops the connection.
    void respond(const QByteArray &path, const QByteArray &body, int status = 200);
    void respond(const QByteArray &path, const Response &response);
    QList<Request> requests() const;

private:
    void onServingThread(const std::function<void()> &work);
    void accept();
    Response answer(const Request &request);

    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<QTcpServer> m_server; // lives on the serving thread
    quint16 m_port = 0;
    mutable std::mutex m_mutex;
    Handler m_handler;
    QHash<QByteArray, Response> m_answers;
    QList<Request> m_requests;
};
