#include "assistant/plus_chat_files.h"

#include "energy/iso_time.h"

#include <QSaveFile>

QString PlusChatExport::proposedName() const
{
    const QString suffix = QStringLiteral(".") + extension;
    return fileName.endsWith(suffix) ? fileName : fileName + suffix;
}

namespace PlusChatFiles {

QString chatExportText(PlusAIProvider provider, const QString &model, const QList<PlusChatMessage> &messages)
{
    const QString providerName = PlusAIProviders::displayName(provider);
    QString text = QStringLiteral("# Pendra Pro chat\n\nProvider: ") + providerName + QStringLiteral(" · Model: ")
                   + model + QStringLiteral("\n\n");
    for (const PlusChatMessage &message : messages) {
        const QString heading = message.role == u"user" ? QStringLiteral("You") : providerName;
        text += QStringLiteral("## ") + heading + QStringLiteral("\n\n") + message.text + QStringLiteral("\n\n");
    }
    return text;
}

QString snapshotExportText(const QString &snapshot)
{
    return QStringLiteral("# Pendra Pro system snapshot\n\n") + snapshot + QStringLiteral("\n");
}

QString timestampedName(const QString &prefix, double nowSeconds)
{
    return prefix + formatIsoUtc(nowSeconds).replace(u':', u'-');
}

std::optional<QString> writeAtomically(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace PlusChatFiles
