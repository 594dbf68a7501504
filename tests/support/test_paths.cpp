#include "support/test_paths.h"

namespace TestPaths {

QString fixtures()
{
    return QStringLiteral(PENDRA_FIXTURES);
}

QString packaging()
{
    return QStringLiteral(PENDRA_PACKAGING);
}

QString busConfig()
{
    return fixtures() + QStringLiteral("/../support/session-bus.conf");
}

QString appBinary()
{
    return QStringLiteral(PENDRA_APP_BINARY);
}

QString probeBinary()
{
    return QStringLiteral(PENDRA_PROBE_BINARY);
}

QProcessEnvironment appEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

} // namespace TestPaths
