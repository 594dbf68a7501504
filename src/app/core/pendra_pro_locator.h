#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Finds the installed Pendra Pro application: first by desktop id, then in
// the usual application bundle folders.
namespace PendraProLocator {

inline const QStringList kDesktopIds{QStringLiteral("com.marblewickhq.pendrapro.desktop"),
                                     QStringLiteral("com.marblewickhq.pendraproplus.desktop")};
// Application bundles are AppDirs under the system applications folder.
inline const QStringList kBundlePaths{QStringLiteral("/opt/Pendra Pro.app"), QStringLiteral("/opt/PendraPro.app"),
                                      QStringLiteral("/opt/Pendra Plus.app")};

struct LaunchCommand
{
    QString program;
    QStringList arguments;

    bool operator==(const LaunchCommand &) const = default;
};

// The desktop entry's Exec line as a command, without field codes (%f, %U …);
// absent when the file has no usable Exec line.
std::optional<LaunchCommand> commandFromDesktopFile(const QString &path);

// Searches `applicationDirs` for the desktop ids in order, then the bundles'
// AppRun in order.
std::optional<LaunchCommand> locate(const QStringList &applicationDirs, const QStringList &bundlePaths = kBundlePaths);

// Starts the application found in the standard folders; false when none.
bool open();

} // namespace PendraProLocator
