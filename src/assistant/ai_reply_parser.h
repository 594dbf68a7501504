#pragma once

#include "assistant/ai_error.h"
#include "assistant/ai_provider.h"

#include <QByteArray>
#include <QString>

#include <variant>

// The reply text, or the error the chat shows.
using PlusAIOutcome = std::variant<QString, PlusAIError>;

namespace PlusAIReplies {

// Error domain of a body that is not JSON; the code is QJsonParseError's.
inline const QString kJsonDomain = QStringLiteral("QJsonParseError");

// Reads one provider answer: an HTTP status other than 200 becomes
// "<name> HTTP <status>: <first 180 characters of the body>", a body that is
// not JSON passes the parser's error through, a reply without text becomes
// "Empty response from <name>"; the text found is returned trimmed. Pure and
// total over any bytes, so it can be fed fuzzed input.
PlusAIOutcome parse(PlusAIProvider provider, int httpStatus, const QByteArray &body);

} // namespace PlusAIReplies
