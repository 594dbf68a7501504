#pragma once

#include <QString>
#include <QStringList>

class Defaults;

// The OpenRouter model the chat uses when the caller names none.
namespace PlusOpenRouterModels {

inline const QString kSettingKey = QStringLiteral("pendrapro.ai.openrouter.model");
inline const QString kAuto = QStringLiteral("openrouter/auto");

// The preset model ids offered by the model picker, in picker order.
const QStringList &presets();

// The stored id trimmed; missing or blank reads as "openrouter/auto".
QString stored(const Defaults &defaults);
// Stores `model` trimmed; a blank value is stored as "openrouter/auto".
void store(Defaults &defaults, const QString &model);

} // namespace PlusOpenRouterModels
