#include "platform/linux/logind_sleep_monitor.h"

LogindSleepMonitor::LogindSleepMonitor(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
{
    // Qt D-Bus delivers bus signals only to named slots.
    QDBusConnection connection = bus;
    m_listening = connection.isConnected()
                  && connection.connect(kService, kPath, kInterface, QStringLiteral("PrepareForSleep"), this,
                                        SLOT(onPrepareForSleep(bool)));
}

void LogindSleepMonitor::onPrepareForSleep(bool sleeping)
{
    if (sleeping)
        emit willSleep();
    else
        emit didWake();
}
