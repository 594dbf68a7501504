#include "updates/update_texts.h"

#include "platform/format.h"

#include <algorithm>

namespace UpdateTexts {

QString byteSize(std::int64_t bytes)
{
    if (bytes < 1024)
        return QString::number(bytes) + QStringLiteral(" B");
    if (bytes < 1048576)
        return formatPrintf("%.0f K", static_cast<double>(bytes) / 1024.0);
    return formatPrintf("%.1f M", static_cast<double>(bytes) / 1048576.0);
}

QString fetching(const QString &version, const QString &host)
{
    return QStringLiteral("Fetching ") + version + QStringLiteral(" from ") + host;
}

QString installing(const QString &version)
{
    return QStringLiteral("Installing ") + version + QStringLiteral("…");
}

int downloadPercent(std::int64_t received, std::int64_t total)
{
    if (total <= 0 || received <= 0)
        return 0;
    // Integer arithmetic truncates like the product's percentage and cannot
    // overflow for any real download size.
    const std::int64_t percent = received >= total ? 100 : received * 100 / total;
    return static_cast<int>(std::min<std::int64_t>(percent, 100));
}

QString downloadProgress(std::int64_t received, std::int64_t total, const QString &version)
{
    if (total > 0) {
        return QString::number(downloadPercent(received, total)) + QStringLiteral("% · ")
            + byteSize(received) + QStringLiteral(" of ") + byteSize(total);
    }
    return byteSize(received) + QStringLiteral(" downloaded · ") + version;
}

std::optional<QString> updatedElsewhere(InstallTarget::InstallKind kind)
{
    switch (kind) {
    case InstallTarget::InstallKind::package:
        return QStringLiteral("Pendra Pro was installed by your package manager. Update it there.");
    case InstallTarget::InstallKind::byHand:
        return QStringLiteral("Pendra Pro was installed by hand. Install the new version the same way.");
    case InstallTarget::InstallKind::unrecognised:
        return QStringLiteral("Pendra Pro is running from a build, not an installed copy. Rebuild it to update.");
    case InstallTarget::InstallKind::appDir:
        break;
    }
    return std::nullopt;
}

QString homeRelative(const QString &path, const QString &home)
{
    if (!home.isEmpty() && home != QLatin1String("/")
        && (path == home || path.startsWith(home + QLatin1Char('/'))))
        return QStringLiteral("~") + path.mid(home.size());
    return path;
}

} // namespace UpdateTexts
