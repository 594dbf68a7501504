#include "updates/install_target.h"

#include <QFileInfo>

namespace InstallTarget {

namespace {

const QString kExecutableTail = QStringLiteral("/usr/bin/pendrapro");

} // namespace

QString systemInstallPath()
{
    return QLatin1String(kSystemFolder) + QLatin1Char('/') + QLatin1String(kAppName);
}

QString userInstallPath(const QString &home)
{
    return home + QStringLiteral("/.local/opt/") + QLatin1String(kAppName);
}

std::optional<QString> bundleOfExecutable(const QString &executablePath)
{
    if (!executablePath.endsWith(kExecutableTail))
        return std::nullopt;
    const QString bundle = executablePath.chopped(kExecutableTail.size());
    if (bundle.isEmpty() || bundle == QLatin1String("/"))
        return std::nullopt;
    return bundle;
}

bool isPackageManaged(const QString &executablePath)
{
    return executablePath.startsWith(QLatin1String("/usr/"));
}

QString chooseTarget(const std::optional<QString> &bundle, const QString &home,
                     const std::function<bool(const QString &folder)> &isWritableFolder)
{
    if (!bundle)
        return userInstallPath(home);
    const QString &path = *bundle;
    // Removable media and an AppImage's runtime mount are read-only copies:
    // updating them in place cannot work and would not survive anyway.
    for (const char *mount : {"/media/", "/run/media/", "/mnt/", "/tmp/.mount_"}) {
        if (path.startsWith(QLatin1String(mount)))
            return userInstallPath(home);
    }
    if (isSystemTarget(path))
        return systemInstallPath();
    const QString folder = QFileInfo(path).absolutePath();
    return isWritableFolder(folder) ? path : userInstallPath(home);
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
