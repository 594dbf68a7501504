#include "platform/linux/xdg_desktop_launcher.h"

#include <QDir>
#include <QProcess>

QStringList XdgDesktopLauncher::desktopNames() const
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

bool XdgDesktopLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    // Reports a program that is not installed at once: the child's exec
    // failure comes back before startDetached returns.
    return QProcess::startDetached(program, arguments, QDir::homePath());
}
