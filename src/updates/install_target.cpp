#include "updates/install_target.h"

#include "updates/package_ownership.h"

#include <QFileInfo>

namespace InstallTarget {

namespace {

const QString kExecutableTail = QStringLiteral("/usr/bin/pendrapro");

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

InstallProbes InstallProbes::system()
{
    return {&PackageOwnership::dpkgOwns, &InstallTarget::isAppDir,
            [](const QString &folder) { return QFileInfo(folder).isWritable(); }};
}

QString systemInstallPath()
{
    return QLatin1String(kSystemFolder) + QLatin1Char('/') + QLatin1String(kAppName);
}

QString userInstallPath(const QString &home)
{
    return home + QStringLiteral("/.local/opt/") + QLatin1String(kAppName);
}

bool isAppDir(const QString &folder)
{
    const QFileInfo info(folder);
    return info.fileName() == QLatin1String(kAppName) && info.isDir()
        && isExecutableFile(folder + QStringLiteral("/AppRun")) && isExecutableFile(folder + kExecutableTail);
}

InstallPlan plan(const QString &executablePath, const QString &home, const InstallProbes &probes)
{
    // Debian installs nothing below /usr/local: whatever is there was put
    // there by hand, and dpkg need not be asked.
    if (executablePath.startsWith(QLatin1String("/usr/local/")))
        return {InstallKind::byHand, {}};
    if (probes.isPackageOwned(executablePath))
        return {InstallKind::package, {}};
    if (executablePath.startsWith(QLatin1String("/usr/")))
        return {InstallKind::byHand, {}};
    if (executablePath.endsWith(kExecutableTail)) {
        const QString bundle = executablePath.chopped(kExecutableTail.size());
        if (probes.isAppDir(bundle))
            return {InstallKind::appDir, chooseTarget(bundle, home, probes.isWritableFolder)};
    }
    return {InstallKind::unrecognised, {}};
}

QString chooseTarget(const QString &bundle, const QString &home,
                     const std::function<bool(const QString &folder)> &isWritableFolder)
{
    // Removable media and an AppImage's runtime mount are read-only copies:
    // updating them in place cannot work and would not survive anyway.
    for (const char *mount : {"/media/", "/run/media/", "/mnt/", "/tmp/.mount_"}) {
        if (bundle.startsWith(QLatin1String(mount)))
            return userInstallPath(home);
    }
    if (isSystemTarget(bundle))
        return systemInstallPath();
    const QString folder = QFileInfo(bundle).absolutePath();
    return isWritableFolder(folder) ? bundle : userInstallPath(home);
}

bool isSystemTarget(const QString &target)
{
    return target.startsWith(QLatin1String(kSystemFolder) + QLatin1Char('/'));
}

QString installPath(const QString &target)
{
    return isSystemTarget(target) ? systemInstallPath() : target;
}

} // namespace InstallTarget
