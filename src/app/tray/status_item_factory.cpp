#include "app/tray/status_item_factory.h"

#include "app/tray/tray_icon_status_item.h"
#include "platform/linux/status_notifier_item.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QStyleHints>
#include <QSystemTrayIcon>

std::unique_ptr<StatusItem> createStatusItem(Clock &clock)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    std::unique_ptr<StatusItem> item;
    if (StatusNotifierItem::watcherAvailable(bus) || !QSystemTrayIcon::isSystemTrayAvailable())
        item = std::make_unique<StatusNotifierItem>(bus, clock);
    else
        item = std::make_unique<TrayIconStatusItem>(clock);
    item->setDoubleClickInterval(QGuiApplication::styleHints()->mouseDoubleClickInterval() / 1000.0);
    return item;
}
