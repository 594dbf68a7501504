#include "app/tray/status_item_factory.h"

#include "app/tray/tray_icon_status_item.h"
#include "platform/system_backends.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <QSystemTrayIcon>

std::unique_ptr<StatusItem> createStatusItem(Clock &clock)
{
    std::unique_ptr<StatusItem> item = makeStatusNotifierItem(clock, true);
    // With no tray at all, a StatusNotifierItem waits for a host to appear.
    if (!item)
        item = QSystemTrayIcon::isSystemTrayAvailable() ? std::make_unique<TrayIconStatusItem>(clock)
                                                        : makeStatusNotifierItem(clock, false);
    item->setDoubleClickInterval(QGuiApplication::styleHints()->mouseDoubleClickInterval() / 1000.0);
    return item;
}
