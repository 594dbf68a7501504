#include "assistant/ai_reply_parser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <initializer_list>
#include <optional>

namespace {

constexpr int kExcerptCharacters = 180;

// The body as UTF-8 text, or empty when it is not valid UTF-8.
QString utf8OrEmpty(const QByteArray &body)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(body);
    return decoder.hasError() ? QString() : text;
}

// The first `count` characters, never splitting a surrogate pair.
QString firstCharacters(const QString &text, int count)
{
    qsizetype end = 0;
    for (int seen = 0; seen < count && end < text.size(); ++seen)
        end += (text.at(end).isHighSurrogate() && end + 1 < text.size()) ? 2 : 1;
    return text.left(end);
}

// A step of the walk: an object key or an array's first element.
struct Step
{
    const char *key = nullptr; // nullptr: first element of an array
};

std::optional<QString> walk(const QJsonValue &root, std::initializer_list<Step> steps)
{
    QJsonValue value = root;
    for (const Step &step : steps) {
        if (step.key) {
            if (!value.isObject())
                return std::nullopt;
            value = value.toObject().value(QLatin1String(step.key));
        } else {
            if (!value.isArray() || value.toArray().isEmpty())
                return std::nullopt;
            value = value.toArray().first();
        }
    }
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<QString> replyText(PlusAIProvider provider, const QJsonValue &root)
{
    constexpr Step first{};
    switch (provider) {
    case PlusAIProvider::openRouter:
    case PlusAIProvider::openai:
        return walk(root, {{"choices"}, first, {"message"}, {"content"}});
    case PlusAIProvider::gemini:
        return walk(root, {{"candidates"}, first, {"content"}, {"parts"}, first, {"text"}});
    case PlusAIProvider::anthropic:
        return walk(root, {{"content"}, first, {"text"}});
    }
    return std::nullopt;
}

} // namespace

namespace PlusAIReplies {

PlusAIOutcome parse(PlusAIProvider provider, int httpStatus, const QByteArray &body)
{
    const QString name = PlusAIProviders::displayName(provider);
    if (httpStatus != 200) {
        const QString excerpt = firstCharacters(utf8OrEmpty(body), kExcerptCharacters);
        return PlusAIError{name, httpStatus, name + QStringLiteral(" HTTP ") + QString::number(httpStatus)
                                                 + QStringLiteral(": ") + excerpt};
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return PlusAIError{kJsonDomain, static_cast<int>(parseError.error), parseError.errorString()};
    const QJsonValue root = document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
    const std::optional<QString> text = replyText(provider, root);
    if (!text)
        return PlusAIError{name, 0, QStringLiteral("Empty response from ") + name};
    return text->trimmed();
}

} // namespace PlusAIReplies
