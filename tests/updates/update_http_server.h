#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QThread>
#include <QUrl>

#include <mutex>
#include <semaphore>

// A tiny HTTP/1.1 server on 127.0.0.1, running on its own thread so that a
// blocking client on the test's thread can still reach it. Unknown paths get
// a 404 HTML page.
class UpdateHttpServer : public QThread
{
public:
    struct Response
    {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/octet-stream";
        // Announces more bytes than are sent, then hangs up.
        bool truncated = false;
    };

    UpdateHttpServer();
    ~UpdateHttpServer() override;

    void serve(const QString &path, Response response);
    QUrl url(const QString &path) const;
    QStringList requestedPaths() const;

protected:
    void run() override;

private:
    Response responseFor(const QString &path);

    mutable std::mutex m_mutex;
    QHash<QString, Response> m_routes;
    QStringList m_requested;
    quint16 m_port = 0;
    std::binary_semaphore m_ready{0};
};
