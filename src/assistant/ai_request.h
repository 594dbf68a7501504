#pragma once

#include "assistant/ai_chat_message.h"
#include "assistant/ai_provider.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

// What one provider request carries, before it meets the network.
struct PlusAIRequest
{
    QString path;
    QList<QPair<QByteArray, QByteArray>> headers; // besides Content-Type
    QJsonObject body;
};

namespace PlusAIRequests {

inline const QByteArray kReferer = QByteArrayLiteral("https://pendrapro.marblewickhq.com");

// The request for `provider`. `key` is already trimmed and non-empty;
// `openRouterModel` is the model already resolved for OpenRouter (others
// ignore it). Error bubbles are left out; any role but "user" is sent as the
// provider's assistant role.
PlusAIRequest build(PlusAIProvider provider, const QString &key, const QList<PlusChatMessage> &conversation,
                    const QString &openRouterModel);

} // namespace PlusAIRequests
