#include "app/core/pendra_pro_locator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>

namespace PendraProLocator {

namespace {

// Field codes expand to files or URLs we do not pass; "%%" is a literal %.
QString withoutFieldCodes(QString exec)
{
    static const QRegularExpression fieldCode(QStringLiteral("%[fFuUdDnNickvm]"));
    exec.remove(fieldCode);
    exec.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return exec.simplified();
}

} // namespace

std::optional<LaunchCommand> commandFromDesktopFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream in(&file);
    bool inMainGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup || !line.startsWith(QStringLiteral("Exec=")))
            continue;
        const QStringList parts = QProcess::splitCommand(withoutFieldCodes(line.mid(5)));
        if (parts.isEmpty())
            return std::nullopt;
        return LaunchCommand{parts.first(), parts.mid(1)};
    }
    return std::nullopt;
}

std::optional<LaunchCommand> locate(const QStringList &applicationDirs, const QStringList &bundlePaths)
{
    for (const QString &id : kDesktopIds) {
        for (const QString &dir : applicationDirs) {
            const QString path = QDir(dir).filePath(id);
            if (!QFileInfo::exists(path))
                continue;
            if (std::optional<LaunchCommand> command = commandFromDesktopFile(path))
                return command;
        }
    }
    for (const QString &bundle : bundlePaths) {
        const QFileInfo appRun(QDir(bundle).filePath(QStringLiteral("AppRun")));
        if (appRun.isFile() && appRun.isExecutable())
            return LaunchCommand{appRun.absoluteFilePath(), {}};
    }
    return std::nullopt;
}

bool open()
{
    const std::optional<LaunchCommand> command =
        locate(QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation));
    return command && QProcess::startDetached(command->program, command->arguments);
}

} // namespace PendraProLocator
