#include "assistant/ai_chat_message.h"
#include "assistant/ai_openrouter_model.h"
#include "assistant/ai_provider.h"
#include "platform/defaults.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QTemporaryDir>

TEST(PlusAIProvider, RawValuesAreExactlyTheDisplayNames)
{
    QStringList names;
    for (PlusAIProvider provider : PlusAIProviders::all()) {
        names << PlusAIProviders::displayName(provider);
        EXPECT_EQ(PlusAIProviders::fromRawValue(names.last()), provider);
        EXPECT_EQ(PlusAIProviders::keyPage(provider).scheme(), "https");
    }
    EXPECT_EQ(names, (QStringList{"OpenRouter", "Gemini", "OpenAI", "Anthropic"}));
    for (const char *other : {"openai", "OpenAI ", "", "Claude"})
        EXPECT_FALSE(PlusAIProviders::fromRawValue(QString::fromLatin1(other)).has_value()) << other;
}

TEST(PlusOpenRouterModels, StoredModelIsTrimmedAndNeverBlank)
{
    QTemporaryDir dir;
    Defaults defaults(dir.filePath(QStringLiteral("settings.json")));
    EXPECT_EQ(PlusOpenRouterModels::stored(defaults), "openrouter/auto");
    defaults.setString(PlusOpenRouterModels::kSettingKey, QStringLiteral(" \n"));
    EXPECT_EQ(PlusOpenRouterModels::stored(defaults), "openrouter/auto");
    PlusOpenRouterModels::store(defaults, QStringLiteral("  openai/gpt-4o \n"));
    EXPECT_EQ(defaults.stringValue(PlusOpenRouterModels::kSettingKey), "openai/gpt-4o");
    PlusOpenRouterModels::store(defaults, QStringLiteral("   "));
    EXPECT_EQ(defaults.stringValue(PlusOpenRouterModels::kSettingKey), "openrouter/auto");
}

TEST(PlusChatMessage, CodedFormRoundTrips)
{
    PlusChatMessage message = PlusChatMessage::user(QStringLiteral("Hi"));
    message.isError = true;
    const QJsonObject coded = message.toJson();
    EXPECT_EQ(coded.keys(), (QStringList{"id", "isError", "role", "text"}));
    EXPECT_EQ(QUuid::fromString(coded.value("id").toString()), message.id);
    EXPECT_EQ(PlusChatMessage::fromJson(coded), message);
    QJsonObject broken = coded;
    broken.insert(QStringLiteral("id"), QStringLiteral("not-a-uuid"));
    EXPECT_FALSE(PlusChatMessage::fromJson(broken).has_value());
    broken = coded;
    broken.remove(QStringLiteral("isError"));
    EXPECT_FALSE(PlusChatMessage::fromJson(broken).has_value());
}
