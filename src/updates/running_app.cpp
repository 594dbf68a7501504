#include "updates/running_app.h"

#include <QCoreApplication>
#include <QDir>

RunningApp RunningApp::current()
{
    return {QStringLiteral(PENDRA_RUNNING_VERSION), QCoreApplication::applicationFilePath(),
            QCoreApplication::applicationPid(), QDir::homePath()};
}
