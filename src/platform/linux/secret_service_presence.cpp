#include "platform/linux/secret_service_presence.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

bool secretStoreOnBus(const QDBusConnection &bus)
{
    QDBusConnectionInterface *daemon = bus.interface();
    if (!bus.isConnected() || !daemon)
        return false;
    const QStringList startable = daemon->activatableServiceNames().value();
    for (const char *name : {"org.freedesktop.secrets", "org.kde.kwalletd6", "org.kde.kwalletd5"}) {
        const QString service = QString::fromLatin1(name);
        if (daemon->isServiceRegistered(service).value() || startable.contains(service))
            return true;
    }
    return false;
}
