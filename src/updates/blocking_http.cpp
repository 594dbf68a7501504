#include "updates/blocking_http.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

#include <memory>

namespace BlockingHttp {

namespace {

QNetworkRequest request(const QUrl &url, std::chrono::milliseconds timeout)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    return request;
}

// Qt reports a status of 400 or more as an error of its own; that is the
// server's answer, not a failed transfer.
bool transportFailed(const QNetworkReply &reply)
{
    if (reply.error() == QNetworkReply::NoError)
        return false;
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return !status.isValid() || status.toInt() < 400;
}

void waitFor(QNetworkReply *reply)
{
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
}

} // namespace

std::optional<QByteArray> fetch(const QUrl &url, std::chrono::milliseconds timeout)
{
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(request(url, timeout)));
    waitFor(reply.get());
    const QByteArray body = reply->readAll();
    if (transportFailed(*reply))
        return std::nullopt;
    return body;
}

Download download(const QUrl &url, const QString &path, std::chrono::milliseconds timeout,
                  const std::function<void(std::int64_t, std::int64_t)> &progress)
{
    QNetworkAccessManager manager;
    QSaveFile file(path);
    const bool opened = file.open(QIODevice::WriteOnly);
    std::unique_ptr<QNetworkReply> reply(manager.get(request(url, timeout)));
    bool writeFailed = !opened;
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&] {
        const QByteArray chunk = reply->readAll();
        if (!writeFailed && file.write(chunk) != chunk.size())
            writeFailed = true;
    });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
                     [&](qint64 received, qint64 total) { progress(received, total); });
    waitFor(reply.get());

    Download result;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        result.httpStatus = status.toInt();
    if (transportFailed(*reply)) {
        result.error = reply->errorString();
        file.cancelWriting();
        return result;
    }
    const QByteArray rest = reply->readAll();
    if (!writeFailed && file.write(rest) != rest.size())
        writeFailed = true;
    if (writeFailed)
        file.cancelWriting();
    else
        file.commit();
    return result;
}

} // namespace BlockingHttp
