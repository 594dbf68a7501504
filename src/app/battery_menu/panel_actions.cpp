#include "app/battery_menu/panel_actions.h"

#include "app/shell/app_actions.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

DesktopPanelActions::DesktopPanelActions(AppActions &app)
    : m_app(app)
{
}

void DesktopPanelActions::openPendraPro()
{
    m_app.openPendraPro();
}

void DesktopPanelActions::quitApp()
{
    m_app.quitApp();
}

void DesktopPanelActions::openComparisonPage()
{
    QDesktopServices::openUrl(QUrl(kComparisonPage));
}

void DesktopPanelActions::openBatterySettings()
{
    for (const QStringList &command : batterySettingsCommands()) {
        // startDetached fails at once when the program is not installed.
        if (QProcess::startDetached(command.first(), command.mid(1)))
            return;
    }
}

QList<QStringList> batterySettingsCommands()
{
    return {
        {QStringLiteral("gnome-control-center"), QStringLiteral("power")},
        {QStringLiteral("systemsettings"), QStringLiteral("kcm_powerdevilprofilesconfig")},
        {QStringLiteral("xfce4-power-manager-settings")},
        {QStringLiteral("mate-power-preferences")},
        {QStringLiteral("cinnamon-settings"), QStringLiteral("power")},
    };
}
