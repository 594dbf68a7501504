#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class DesktopLauncher;

// Opening the desktop's own battery settings.
namespace SystemSettingsLinks {

// A settings program and the desktop (an XDG_CURRENT_DESKTOP name) it
// belongs to.
struct SettingsProgram
{
    QString desktop;
    QStringList command; // program, then its arguments
};

// Each desktop's power or battery page, in the order they are tried when the
// running desktop has none that starts.
QList<SettingsProgram> batteryPages();
// Each desktop's settings app itself, tried when no battery page started.
QList<SettingsProgram> settingsApps();

// What openBatterySettings tries, in order: the running desktop's battery
// page, every other battery page, then the running desktop's settings app and
// every other settings app.
QList<QStringList> batterySettingsCommands(const QStringList &desktopNames);

inline const QString kNoSettingsAppNotice = QStringLiteral("No settings app was found on this desktop.");

// Starts the first command of batterySettingsCommands that starts. Absent on
// success, else kNoSettingsAppNotice for the user.
std::optional<QString> openBatterySettings(DesktopLauncher &launcher);

} // namespace SystemSettingsLinks
