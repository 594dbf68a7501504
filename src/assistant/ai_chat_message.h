#pragma once

#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

// One chat message. Error bubbles are shown in the chat but never sent.
struct PlusChatMessage
{
    QUuid id = QUuid::createUuid();
    QString role; // "user" or "assistant"
    QString text;
    bool isError = false;

    static PlusChatMessage user(const QString &text);

    // {"id": "<uuid, no braces>", "role", "text", "isError"}
    QJsonObject toJson() const;
    // Absent when a key is missing, has the wrong type, or the id is no UUID.
    static std::optional<PlusChatMessage> fromJson(const QJsonObject &object);

    friend bool operator==(const PlusChatMessage &, const PlusChatMessage &) = default;
};
