#include "updates/running_app.h"

#include <QCoreApplication>
#include <QDir>

QString RunningApp::buildVersion()
{
    return QStringLiteral(PENDRA_RUNNING_VERSION);
}

RunningApp RunningApp::current()
{
    return {buildVersion(), QCoreApplication::applicationFilePath(),
            QCoreApplication::applicationPid(), QDir::homePath()};
}
