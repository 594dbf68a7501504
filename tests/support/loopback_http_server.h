#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrl>

// An HTTP/1.1 server on 127.0.0.1 for tests: serves canned answers by path,
// records every request and closes each connection after one answer. Paths
// without an answer get 404; a status of 0 drops the connection unanswered.
class LoopbackHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QString path; // without the query
        QString query; // encoded, as sent
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    explicit LoopbackHttpServer(QObject *parent = nullptr);

    // http://127.0.0.1:<port>
    QUrl url() const;
    void respond(const QString &path, const QByteArray &body, int status = 200,
                 const QByteArray &contentType = "application/json");
    const QList<Request> &requests() const { return m_requests; }

private:
    struct Answer
    {
        int status;
        QByteArray contentType;
        QByteArray body;
    };

    void serve(class QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, Answer> m_answers;
    QList<Request> m_requests;
};
