#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// The four hosted model providers, in picker order. The display name doubles
// as the stored value, the key-store account and the error domain.
enum class PlusAIProvider { openRouter, gemini, openai, anthropic };

namespace PlusAIProviders {

// Every provider in picker order.
const QList<PlusAIProvider> &all();
QString displayName(PlusAIProvider provider);
// Exactly one of the four display names (case-sensitive); anything else is absent.
std::optional<PlusAIProvider> fromRawValue(const QString &rawValue);
// The model the settings pane shows for a provider that has no model choice.
QString defaultModel(PlusAIProvider provider);
// The provider's web page where a user creates an API key.
QUrl keyPage(PlusAIProvider provider);

} // namespace PlusAIProviders
