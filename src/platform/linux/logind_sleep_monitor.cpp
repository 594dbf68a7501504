#include "platform/linux/logind_sleep_monitor.h"

LogindSleepMonitor::LogindSleepMonitor(const QDBusConnection &bus, const QString &service, QObject *parent)
    : QObject(parent)
{
    // Qt D-Bus delivers bus signals only to named slots.
    QDBusConnection connection = bus;
    m_listening = connection.isConnected()
                  && connection.connect(service, kPath, kInterface, QStringLiteral("PrepareForSleep"), this,
                                        SLOT(onPrepareForSleep(bool)));
}

void LogindSleepMonitor::onPrepareForSleep(bool sleeping)
{
    if (sleeping)
        emit willSleep();
    else
        emit didWake();
}
