#include "platform/reply_limits.h"

#include <QNetworkReply>
#include <QTimer>

ReplyLimits::ReplyLimits(QNetworkReply *reply)
    : QObject(reply)
    , m_reply(reply)
{
}

ReplyLimits *ReplyLimits::apply(QNetworkReply *reply, std::chrono::milliseconds timeout, qint64 maxBytes)
{
    auto *limits = new ReplyLimits(reply);
    auto *timer = new QTimer(limits);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, limits, [limits] { limits->abortFor(Breach::timedOut); });
    connect(reply, &QNetworkReply::finished, timer, &QTimer::stop);
    timer->start(timeout);
    connect(reply, &QNetworkReply::metaDataChanged, limits, [limits, reply, maxBytes] {
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        if (announced.isValid() && announced.toLongLong() > maxBytes)
            limits->abortFor(Breach::tooLarge);
    });
    // The body is read whole once finished, so what waits unread is what
    // arrived.
    connect(reply, &QNetworkReply::readyRead, limits, [limits, reply, maxBytes] {
        if (reply->bytesAvailable() > maxBytes)
            limits->abortFor(Breach::tooLarge);
    });
    return limits;
}

void ReplyLimits::abortFor(Breach breach)
{
    if (m_reply->isFinished() || m_breach != Breach::none)
        return;
    m_breach = breach;
    m_reply->abort();
}
