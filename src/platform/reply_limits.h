#pragma once

#include <QObject>

#include <chrono>

class QNetworkReply;

// Bounds one network reply that is read whole once it has finished, in time
// and size. A reply that has not finished after `timeout`, or whose body
// grows past `maxBytes` (announced or received), is aborted; `breach` then says which limit it hit, so the
// finished handler can tell that from an ordinary cancel. Lives as a child
// of the reply, so it goes with it.
class ReplyLimits : public QObject
{
public:
    enum class Breach { none, timedOut, tooLarge };

    // Answers from web services the app reads whole into memory are small;
    // anything larger is a broken or hostile server.
    static constexpr qint64 kMaxAnswerBytes = qint64(1024) * 1024;

    static ReplyLimits *apply(QNetworkReply *reply, std::chrono::milliseconds timeout,
                              qint64 maxBytes = kMaxAnswerBytes);

    Breach breach() const { return m_breach; }

private:
    explicit ReplyLimits(QNetworkReply *reply);
    void abortFor(Breach breach);

    QNetworkReply *m_reply;
    Breach m_breach = Breach::none;
};
