#pragma once

#include <QString>

#include <functional>
#include <optional>

// Where an update goes. The app is an AppDir named "Pendra.app" (AppRun,
// usr/bin/pendrapro); the system apps folder is /opt, the user's is
// ~/.local/opt. A copy installed any other way belongs to whoever installed
// it, and the updater leaves it alone.
namespace InstallTarget {

inline constexpr char kAppName[] = "Pendra.app";
inline constexpr char kSystemFolder[] = "/opt";

// How the running copy was installed, which decides who updates it.
enum class InstallKind {
    package, // a package's file (dpkg knows it): the package manager updates it
    byHand, // below /usr but no package's, /usr/local for one: updated the way it came
    appDir, // a Pendra.app AppDir: the updater's own
    unrecognised, // a build folder, a staging tree (DESTDIR) or anything else
};

// What deciding the install kind asks of the system. isPackageOwned may run
// a tool for a moment: decide off the UI thread.
struct InstallProbes
{
    std::function<bool(const QString &path)> isPackageOwned;
    std::function<bool(const QString &folder)> isAppDir;
    std::function<bool(const QString &folder)> isWritableFolder;

    // dpkg's database, the real file system.
    static InstallProbes system();
};

struct InstallPlan
{
    InstallKind kind = InstallKind::unrecognised;
    QString target; // where the update goes; set for an AppDir only
};

QString systemInstallPath(); // "/opt/Pendra.app"
QString userInstallPath(const QString &home); // "<home>/.local/opt/Pendra.app"

// A real AppDir: a folder named "Pendra.app" holding an executable AppRun
// and usr/bin/pendrapro. A name or a path shape alone never makes one.
bool isAppDir(const QString &folder);

// The kind of install the executable belongs to and, for an AppDir, where
// its update goes.
InstallPlan plan(const QString &executablePath, const QString &home, const InstallProbes &probes);

// The install target for a running AppDir: read-only mounts (removable
// media, an AppImage's mount) go to the user's folder, /opt to the system
// folder, and any other AppDir is updated in place when its folder is
// writable, otherwise in the user's folder.
QString chooseTarget(const QString &bundle, const QString &home,
                     const std::function<bool(const QString &folder)> &isWritableFolder);

// Targets in the system folder need administrator rights.
bool isSystemTarget(const QString &target);
// The path to replace: the system install path for a system target,
// otherwise the target itself.
QString installPath(const QString &target);

} // namespace InstallTarget
