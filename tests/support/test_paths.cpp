#include "support/test_paths.h"

namespace TestPaths {

QString fixtures()
{
    return QStringLiteral(PENDRA_FIXTURES);
}

QString appBinary()
{
    return QStringLiteral(PENDRA_APP_BINARY);
}

QString probeBinary()
{
    return QStringLiteral(PENDRA_PROBE_BINARY);
}

} // namespace TestPaths
