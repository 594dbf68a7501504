#include "assistant/ai_provider.h"

namespace PlusAIProviders {

const QList<PlusAIProvider> &all()
{
    static const QList<PlusAIProvider> providers{PlusAIProvider::openRouter, PlusAIProvider::gemini,
                                                 PlusAIProvider::openai, PlusAIProvider::anthropic};
    return providers;
}

QString displayName(PlusAIProvider provider)
{
    switch (provider) {
    case PlusAIProvider::openRouter:
        return QStringLiteral("OpenRouter");
    case PlusAIProvider::gemini:
        return QStringLiteral("Gemini");
    case PlusAIProvider::openai:
        return QStringLiteral("OpenAI");
    case PlusAIProvider::anthropic:
        return QStringLiteral("Anthropic");
    }
    return {};
}

std::optional<PlusAIProvider> fromRawValue(const QString &rawValue)
{
    for (PlusAIProvider provider : all()) {
        if (displayName(provider) == rawValue)
            return provider;
    }
    return std::nullopt;
}

QString defaultModel(PlusAIProvider provider)
{
    switch (provider) {
    case PlusAIProvider::openRouter:
        return QStringLiteral("openrouter/auto");
    case PlusAIProvider::gemini:
        return QStringLiteral("gemini-2.0-flash");
    case PlusAIProvider::openai:
        return QStringLiteral("gpt-4o-mini");
    case PlusAIProvider::anthropic:
        return QStringLiteral("claude-3-5-haiku-20241022");
    }
    return {};
}

QUrl keyPage(PlusAIProvider provider)
{
    switch (provider) {
    case PlusAIProvider::openRouter:
        return QUrl(QStringLiteral("https://openrouter.ai/keys"));
    case PlusAIProvider::gemini:
        return QUrl(QStringLiteral("https://aistudio.google.com/app/apikey"));
    case PlusAIProvider::openai:
        return QUrl(QStringLiteral("https://platform.openai.com/api-keys"));
    case PlusAIProvider::anthropic:
        return QUrl(QStringLiteral("https://console.anthropic.com/settings/keys"));
    }
    return {};
}

} // namespace PlusAIProviders
