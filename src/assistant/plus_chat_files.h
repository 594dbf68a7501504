#pragma once

#include "assistant/ai_chat_message.h"
#include "assistant/ai_provider.h"

#include <QList>
#include <QString>

#include <optional>

// A text the user is offered to save through a save dialog.
struct PlusChatExport
{
    QString text;
    QString fileName; // without extension
    QString extension; // "md"

    // The name the dialog proposes: `fileName` + "." + `extension`, unless it
    // already ends with that.
    QString proposedName() const;
};

namespace PlusChatFiles {

// "# Pendra Pro chat" with the provider and model, then every message under
// "## You" or "## <provider>" (error bubbles too).
QString chatExportText(PlusAIProvider provider, const QString &model, const QList<PlusChatMessage> &messages);
// "# Pendra Pro system snapshot", the snapshot and a final newline.
QString snapshotExportText(const QString &snapshot);
// `prefix` + the UTC time of `nowSeconds` as ISO 8601 with ":" turned into
// "-", which file systems and file managers all accept.
QString timestampedName(const QString &prefix, double nowSeconds);

// Writes `text` as UTF-8 to `path` so that a reader sees the old file or the
// new one, never a part. The error for the user, or nothing on success.
// Blocking: call on a worker queue.
std::optional<QString> writeAtomically(const QString &path, const QString &text);

} // namespace PlusChatFiles
