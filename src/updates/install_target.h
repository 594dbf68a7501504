#pragma once

#include <QString>

#include <functional>
#include <optional>

// Where an update goes. The app is an AppDir named "Pendra.app" (AppRun,
// usr/bin/pendrapro); the system apps folder is /opt, the user's is
// ~/.local/opt.
namespace InstallTarget {

inline constexpr char kAppName[] = "Pendra.app";
inline constexpr char kSystemFolder[] = "/opt";

QString systemInstallPath(); // "/opt/Pendra.app"
QString userInstallPath(const QString &home); // "<home>/.local/opt/Pendra.app"

// The AppDir that holds the running executable: its folder minus "usr/bin",
// when the executable sits at usr/bin/pendrapro below a folder other than "/".
// Absent for a package-manager install (/usr/bin) or a development build.
std::optional<QString> bundleOfExecutable(const QString &executablePath);

// True when the package manager owns the running app: the updater must not
// replace files below /usr.
bool isPackageManaged(const QString &executablePath);

// The install target for a running bundle (absent: not running from one):
// read-only mounts (removable media, an AppImage's mount) and unknown
// locations go to the user's folder, /opt to the system folder, and any
// other bundle is updated in place when its folder is writable.
QString chooseTarget(const std::optional<QString> &bundle, const QString &home,
                     const std::function<bool(const QString &folder)> &isWritableFolder);

// Targets in the system folder need administrator rights.
bool isSystemTarget(const QString &target);
// The path to replace: the system install path for a system target,
// otherwise the target itself.
QString installPath(const QString &target);

} // namespace InstallTarget
