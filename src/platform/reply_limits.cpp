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
    // `total` is the announced length, -1 when none was announced.
    connect(reply, &QNetworkReply::downloadProgress, limits, [limits, maxBytes](qint64 received, qint64 total) {
        if (received > maxBytes || total > maxBytes)
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
