#include "assistant/ai_openrouter_model.h"

#include "platform/defaults.h"

namespace PlusOpenRouterModels {

const QStringList &presets()
{
    static const QStringList ids{
        QStringLiteral("openrouter/auto"),
        QStringLiteral("openai/gpt-4o-mini"),
        QStringLiteral("openai/gpt-4o"),
        QStringLiteral("anthropic/claude-3.5-sonnet"),
        QStringLiteral("anthropic/claude-3-haiku"),
        QStringLiteral("google/gemini-2.0-flash-001"),
        QStringLiteral("google/gemini-2.5-pro-preview"),
        QStringLiteral("meta-llama/llama-3.3-70b-instruct"),
        QStringLiteral("deepseek/deepseek-chat"),
        QStringLiteral("mistralai/mistral-small-3.1-24b-instruct"),
        QStringLiteral("qwen/qwen-2.5-72b-instruct"),
    };
    return ids;
}

QString stored(const Defaults &defaults)
{
    const QString model = defaults.stringValue(kSettingKey).value_or(QString()).trimmed();
    return model.isEmpty() ? kAuto : model;
}

void store(Defaults &defaults, const QString &model)
{
    const QString trimmed = model.trimmed();
    defaults.setString(kSettingKey, trimmed.isEmpty() ? kAuto : trimmed);
}

} // namespace PlusOpenRouterModels
