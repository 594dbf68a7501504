#include "platform/paths.h"

#include <QDir>

namespace {

QString xdgBase(const char *variable, const char *fallbackUnderHome)
{
    const QString fromEnvironment = qEnvironmentVariable(variable);
    if (!fromEnvironment.isEmpty() && QDir::isAbsolutePath(fromEnvironment))
        return fromEnvironment;
    return QDir::homePath() + QLatin1Char('/') + QLatin1String(fallbackUnderHome);
}

const QString kFolder = QStringLiteral("/Pendra");

} // namespace

namespace Paths {

QString supportDir() { return xdgBase("XDG_DATA_HOME", ".local/share") + kFolder; }
QString logsDir() { return xdgBase("XDG_STATE_HOME", ".local/state") + kFolder; }
QString cacheDir() { return xdgBase("XDG_CACHE_HOME", ".cache") + kFolder; }
QString configDir() { return xdgBase("XDG_CONFIG_HOME", ".config") + kFolder; }

} // namespace Paths
