#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <QUrl>

#include <functional>

// A small HTTP/1.1 server on 127.0.0.1 for tests: it records every request
// and answers each with what the handler returns, one request per connection.
class LoopbackHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QByteArray path; // with the query, as sent
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

        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        bool neverAnswer = false;
    };
    using Handler = std::function<Response(const Request &)>;

    // Listens on a free port of 127.0.0.1 at once.
    explicit LoopbackHttpServer(QObject *parent = nullptr);

    // http://127.0.0.1:<port>
    QUrl baseUrl() const;
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // Every request gets `response`.
    void respondWith(const Response &response);
    const QList<Request> &requests() const { return m_requests; }

private:
    void accept();

    QTcpServer m_server;
    Handler m_handler;
    QList<Request> m_requests;
};
