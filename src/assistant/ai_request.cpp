#include "assistant/ai_request.h"

#include <QJsonArray>

namespace {

QList<PlusChatMessage> sendable(const QList<PlusChatMessage> &conversation)
{
    QList<PlusChatMessage> messages;
    for (const PlusChatMessage &message : conversation) {
        if (!message.isError)
            messages.append(message);
    }
    return messages;
}

QString role(const PlusChatMessage &message, const QString &otherRole)
{
    return message.role == QLatin1String("user") ? QStringLiteral("user") : otherRole;
}

// The chat-completions and messages protocols share this message shape.
QJsonArray roleContentMessages(const QList<PlusChatMessage> &messages)
{
    QJsonArray array;
    for (const PlusChatMessage &message : messages) {
        array.append(QJsonObject{{QStringLiteral("role"), role(message, QStringLiteral("assistant"))},
                                 {QStringLiteral("content"), message.text}});
    }
    return array;
}

QJsonArray geminiContents(const QList<PlusChatMessage> &messages)
{
    QJsonArray array;
    for (const PlusChatMessage &message : messages) {
        const QJsonArray parts{QJsonObject{{QStringLiteral("text"), message.text}}};
        array.append(QJsonObject{{QStringLiteral("role"), role(message, QStringLiteral("model"))},
                                 {QStringLiteral("parts"), parts}});
    }
    return array;
}

QByteArray bearer(const QString &key)
{
    return QByteArrayLiteral("Bearer ") + key.toUtf8();
}

} // namespace

namespace PlusAIRequests {

PlusAIRequest build(PlusAIProvider provider, const QString &key, const QList<PlusChatMessage> &conversation,
                    const QString &openRouterModel)
{
    const QList<PlusChatMessage> messages = sendable(conversation);
    PlusAIRequest request;
    switch (provider) {
    case PlusAIProvider::openRouter:
        request.path = QStringLiteral("/api/v1/chat/completions");
        request.headers = {{"Authorization", bearer(key)}, {"HTTP-Referer", kReferer}, {"X-Title", "Pendra Pro"}};
        request.body = {{QStringLiteral("model"), openRouterModel},
                        {QStringLiteral("messages"), roleContentMessages(messages)}};
        break;
    case PlusAIProvider::openai:
        request.path = QStringLiteral("/v1/chat/completions");
        request.headers = {{"Authorization", bearer(key)}};
        request.body = {{QStringLiteral("model"), PlusAIProviders::defaultModel(provider)},
                        {QStringLiteral("messages"), roleContentMessages(messages)}};
        break;
    case PlusAIProvider::gemini:
        request.path = QStringLiteral("/v1beta/models/gemini-2.0-flash:generateContent");
        request.headers = {{"x-goog-api-key", key.toUtf8()}};
        request.body = {{QStringLiteral("contents"), geminiContents(messages)}};
        break;
    case PlusAIProvider::anthropic:
        request.path = QStringLiteral("/v1/messages");
        request.headers = {{"x-api-key", key.toUtf8()}, {"anthropic-version", "2023-06-01"}};
        request.body = {{QStringLiteral("model"), PlusAIProviders::defaultModel(provider)},
                        {QStringLiteral("max_tokens"), 1024},
                        {QStringLiteral("messages"), roleContentMessages(messages)}};
        break;
    }
    return request;
}

} // namespace PlusAIRequests
