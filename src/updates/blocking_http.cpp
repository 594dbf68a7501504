#include "updates/blocking_http.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

#include <memory>

namespace BlockingHttp {

namespace {

QNetworkRequest request(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
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

void abortBeyond(QNetworkReply *reply, std::int64_t maxBytes, const std::function<void()> &exceeded)
{
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [=](qint64 received, qint64 total) {
        if (received <= maxBytes && total <= maxBytes)
            return;
        if (exceeded)
            exceeded();
        reply->abort();
    });
}

std::optional<QByteArray> fetch(const QUrl &url, std::chrono::milliseconds timeout, std::int64_t maxBytes)
{
    QNetworkAccessManager manager;
    QNetworkRequest get = request(url);
    get.setTransferTimeout(static_cast<int>(timeout.count()));
    std::unique_ptr<QNetworkReply> reply(manager.get(get));
    abortBeyond(reply.get(), maxBytes);
    waitFor(reply.get());
    const QByteArray body = reply->readAll();
    if (transportFailed(*reply) || body.size() > maxBytes)
        return std::nullopt;
    return body;
}

Download download(const QUrl &url, const QString &path, const DownloadLimits &limits,
                  const std::function<void(std::int64_t, std::int64_t)> &progress)
{
    QNetworkAccessManager manager;
    QSaveFile file(path);
    const bool opened = file.open(QIODevice::WriteOnly);
    std::unique_ptr<QNetworkReply> reply(manager.get(request(url)));
    Download result;
    bool writeFailed = !opened;

    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(limits.stallTimeout);
    QObject::connect(&stall, &QTimer::timeout, reply.get(), [&] {
        result.failure = Download::Failure::stalled;
        reply->abort();
    });
    stall.start();
    abortBeyond(reply.get(), limits.maxBytes, [&] { result.failure = Download::Failure::tooLarge; });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&] {
        stall.start();
        const QByteArray chunk = reply->readAll();
        if (!writeFailed && file.write(chunk) != chunk.size())
            writeFailed = true;
    });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
                     [&](qint64 received, qint64 total) { progress(received, total); });
    waitFor(reply.get());
    stall.stop();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        result.httpStatus = status.toInt();
    if (result.failure == Download::Failure::none && transportFailed(*reply)) {
        result.failure = Download::Failure::transport;
        result.error = reply->errorString();
    }
    if (result.failure != Download::Failure::none) {
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
