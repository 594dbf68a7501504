#include "app/dashboard/sibling_app.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

SiblingApp::SiblingApp(std::optional<PendraProLocator::LaunchCommand> command)
    : m_command(std::move(command))
{
}

SiblingApp SiblingApp::locate(const QStringList &applicationDirs, const QStringList &bundlePaths)
{
    for (const QString &dir : applicationDirs) {
        const QString path = QDir(dir).filePath(kDesktopId);
        if (!QFileInfo::exists(path))
            continue;
        if (auto command = PendraProLocator::commandFromDesktopFile(path))
            return SiblingApp(std::move(command));
    }
    for (const QString &bundle : bundlePaths) {
        const QFileInfo appRun(QDir(bundle).filePath(QStringLiteral("AppRun")));
        if (appRun.isFile() && appRun.isExecutable())
            return SiblingApp(PendraProLocator::LaunchCommand{appRun.absoluteFilePath(), {}});
    }
    return SiblingApp(std::nullopt);
}

SiblingApp SiblingApp::locateInstalled()
{
    return locate(QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation),
                  kBundlePaths + QStringList{QDir::home().filePath(kUserBundle)});
}

QString SiblingApp::linkTitle() const
{
    return isInstalled() ? QStringLiteral("Open Torvex") : QStringLiteral("Get Torvex");
}

void SiblingApp::open() const
{
    if (m_command && QProcess::startDetached(m_command->program, m_command->arguments))
        return;
    QDesktopServices::openUrl(kWebPage);
}
