#include "assistant/ai_chat_message.h"

PlusChatMessage PlusChatMessage::user(const QString &text)
{
    PlusChatMessage message;
    message.role = QStringLiteral("user");
    message.text = text;
    return message;
}

QJsonObject PlusChatMessage::toJson() const
{
    return QJsonObject{
        {QStringLiteral("id"), id.toString(QUuid::WithoutBraces).toUpper()},
        {QStringLiteral("role"), role},
        {QStringLiteral("text"), text},
        {QStringLiteral("isError"), isError},
    };
}

std::optional<PlusChatMessage> PlusChatMessage::fromJson(const QJsonObject &object)
{
    const QJsonValue id = object.value(QStringLiteral("id"));
    const QJsonValue role = object.value(QStringLiteral("role"));
    const QJsonValue text = object.value(QStringLiteral("text"));
    const QJsonValue isError = object.value(QStringLiteral("isError"));
    if (!id.isString() || !role.isString() || !text.isString() || !isError.isBool())
        return std::nullopt;
    const QUuid uuid = QUuid::fromString(id.toString());
    if (uuid.isNull())
        return std::nullopt;
    PlusChatMessage message;
    message.id = uuid;
    message.role = role.toString();
    message.text = text.toString();
    message.isError = isError.toBool();
    return message;
}
