#include "app/shell/app_delegate.h"
#include "app/battery_menu/main_root.h"
#include "app/battery_menu/menu_panel_model.h"
#include "app/shell/notification_center.h"
#include "app/battery_menu/panel_actions.h"
#include "app/shell/single_instance.h"
#include "app/tray/status_item_factory.h"
#include "charge/charge_limit_controller.h"
#include "energy/drain_alert_monitor.h"
#include "energy/drain_log.h"
#include "energy/process_energy_store.h"
#include "platform/clock.h"
#include "platform/defaults.h"
#include "platform/power_mode.h"
#include "platform/status_item.h"
#include "platform/workspace.h"
#include "power/power_store.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

namespace {

bool anyWindowVisible()
{
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !(window->windowFlags() & Qt::Popup))
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendra Pro"));
    QApplication::setOrganizationName(QStringLiteral("Marblewick"));
    QApplication::setDesktopFileName(QStringLiteral("com.marblewickhq.pendrapro"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.marblewickhq.pendrapro")));
    // The app lives in the tray: closing its windows does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance(SingleInstance::defaultRuntimeDir());
    if (!instance.claim())
        return 0;

    AppDelegate delegate(AppServices{
        Clock::system(),
        Defaults::standard(),
        NotificationCenter::defaultCenter(),
        PowerStore::shared(),
        PowerModeMonitor::system(),
        WorkspaceEvents::system(),
        [] { return createStatusItem(Clock::system()); },
        &DrainLog::shared(),
        &DrainAlertMonitor::shared(),
        &ProcessEnergyStore::shared(),
        &ChargeLimitController::shared(),
    });
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate,
                     [&delegate] { delegate.applicationShouldHandleReopen(anyWindowVisible()); });
    QObject::connect(&app, &QApplication::aboutToQuit, &delegate, [&delegate] { delegate.applicationWillTerminate(); });
    DesktopPanelActions panelActions(delegate);
    delegate.setPopoverContentFactory([&panelActions](QSize size) -> QWidget * {
        return new MainRoot(MainRoot::sharedServices(panelActions), size);
    });
    delegate.applicationDidFinishLaunching();
    trackWhileShown(*delegate.popover(), MenuPanelModel::shared());
    return app.exec();
}
