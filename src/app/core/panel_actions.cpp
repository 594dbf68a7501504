#include "app/core/panel_actions.h"

#include "app/core/app_actions.h"
#include "integration/system_settings_links.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

DesktopPanelActions::DesktopPanelActions(AppActions &app, DesktopLauncher &launcher)
    : m_app(app)
    , m_launcher(launcher)
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
    if (const std::optional<QString> notice = SystemSettingsLinks::openBatterySettings(m_launcher)) {
        auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Pendra Pro"), *notice);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
}
