#include "integration/system_settings_links.h"

#include "platform/desktop_launcher.h"

namespace SystemSettingsLinks {

namespace {

// `programs` with those of the running desktop first, most specific desktop
// name first, the others after them in table order.
QList<QStringList> runningDesktopFirst(const QList<SettingsProgram> &programs, const QStringList &desktopNames)
{
    QList<QStringList> ordered;
    for (const QString &name : desktopNames)
        for (const SettingsProgram &program : programs)
            if (program.desktop.compare(name, Qt::CaseInsensitive) == 0 && !ordered.contains(program.command))
                ordered.append(program.command);
    for (const SettingsProgram &program : programs)
        if (!ordered.contains(program.command))
            ordered.append(program.command);
    return ordered;
}

} // namespace

QList<SettingsProgram> batteryPages()
{
    return {
        {QStringLiteral("GNOME"), {QStringLiteral("gnome-control-center"), QStringLiteral("power")}},
        {QStringLiteral("KDE"), {QStringLiteral("systemsettings"), QStringLiteral("kcm_powerdevilprofilesconfig")}},
        {QStringLiteral("XFCE"), {QStringLiteral("xfce4-power-manager-settings")}},
        {QStringLiteral("MATE"), {QStringLiteral("mate-power-preferences")}},
        {QStringLiteral("X-Cinnamon"), {QStringLiteral("cinnamon-settings"), QStringLiteral("power")}},
        {QStringLiteral("Budgie"), {QStringLiteral("budgie-control-center"), QStringLiteral("power")}},
        {QStringLiteral("LXQt"), {QStringLiteral("lxqt-config-powermanagement")}},
    };
}

QList<SettingsProgram> settingsApps()
{
    return {
        {QStringLiteral("GNOME"), {QStringLiteral("gnome-control-center")}},
        {QStringLiteral("KDE"), {QStringLiteral("systemsettings")}},
        {QStringLiteral("XFCE"), {QStringLiteral("xfce4-settings-manager")}},
        {QStringLiteral("MATE"), {QStringLiteral("mate-control-center")}},
        {QStringLiteral("X-Cinnamon"), {QStringLiteral("cinnamon-settings")}},
        {QStringLiteral("Budgie"), {QStringLiteral("budgie-control-center")}},
        {QStringLiteral("LXQt"), {QStringLiteral("lxqt-config")}},
    };
}

QList<QStringList> batterySettingsCommands(const QStringList &desktopNames)
{
    return runningDesktopFirst(batteryPages(), desktopNames) + runningDesktopFirst(settingsApps(), desktopNames);
}

std::optional<QString> openBatterySettings(DesktopLauncher &launcher)
{
    for (const QStringList &command : batterySettingsCommands(launcher.desktopNames()))
        if (launcher.startDetached(command.first(), command.mid(1)))
            return std::nullopt;
    return kNoSettingsAppNotice;
}

} // namespace SystemSettingsLinks
