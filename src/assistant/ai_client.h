#pragma once

#include "assistant/ai_chat_message.h"
#include "assistant/ai_provider.h"
#include "assistant/ai_reply_parser.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class Defaults;
class QNetworkAccessManager;
class QObject;

// Where each provider's API lives: scheme, host and port, no path.
struct PlusAIHosts
{
    QUrl openRouter;
    QUrl gemini;
    QUrl openai;
    QUrl anthropic;

    // The providers' public HTTPS API hosts.
    static PlusAIHosts production();
    QUrl base(PlusAIProvider provider) const;
};

// Turns a conversation into one request to a provider and hands back the
// reply text or the error the chat shows. Holds no state between sends, so any
// number may run at once.
class PlusAIClient
{
public:
    static constexpr std::chrono::milliseconds kRequestTimeout{90'000}; // without any traffic
    static constexpr qint64 kMaxReplyBytes = 8 * 1024 * 1024;

    // Codes of refusals made before or instead of reading a reply; the domain
    // is the provider's display name.
    enum RefusalCode { insecureHost = -1, replyTooLarge = -2, unsafeKey = -3 };
    // Domain of transport failures; the code is QNetworkReply::NetworkError.
    static inline const QString kNetworkDomain = QStringLiteral("QNetworkReply");

    using Completion = std::function<void(const PlusAIOutcome &)>;

    // `defaults` supplies the stored OpenRouter model. A key is only ever
    // sent to an https base URL, or to http://127.0.0.1 (a test server).
    PlusAIClient(QNetworkAccessManager &network, const Defaults &defaults, PlusAIHosts hosts,
                 std::chrono::milliseconds timeout = kRequestTimeout);

    // Sends `conversation` (error bubbles left out) with `key` (trimmed).
    // `model` only matters for OpenRouter; blank means the stored model.
    // `done` runs once on the main thread, always after send returns; if
    // `context` is destroyed first the request is dropped and `done` never runs.
    void send(PlusAIProvider provider, const QString &key, const QList<PlusChatMessage> &conversation,
              const std::optional<QString> &model, QObject *context, Completion done) const;

private:
    QString openRouterModel(const std::optional<QString> &model) const;

    QNetworkAccessManager &m_network;
    const Defaults &m_defaults;
    PlusAIHosts m_hosts;
    std::chrono::milliseconds m_timeout;
};
