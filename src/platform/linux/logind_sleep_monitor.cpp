#include "platform/linux/logind_sleep_monitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

LogindSleepMonitor::LogindSleepMonitor(const QDBusConnection &bus, const QString &service, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_service(service)
{
    // Qt D-Bus delivers bus signals only to named slots.
    m_listening = m_bus.isConnected()
                  && m_bus.connect(service, kPath, kInterface, QStringLiteral("PrepareForSleep"), this,
                                   SLOT(onPrepareForSleep(bool)));
    if (m_listening)
        takeSleepDelayLock();
}

void LogindSleepMonitor::onPrepareForSleep(bool sleeping)
{
    if (sleeping) {
        emit willSleep();
        m_sleepDelayLock = QDBusUnixFileDescriptor();
    } else {
        emit didWake();
        takeSleepDelayLock();
    }
}

void LogindSleepMonitor::takeSleepDelayLock()
{
    QDBusMessage inhibit = QDBusMessage::createMethodCall(m_service, kPath, kInterface, QStringLiteral("Inhibit"));
    inhibit << QStringLiteral("sleep") << QStringLiteral("Pendra Pro")
            << QStringLiteral("Record the battery level before sleep") << QStringLiteral("delay");
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(inhibit), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
        // A login manager that refuses (policy, no logind) leaves sleep as it
        // was: the record may then be written after the resume.
        if (reply.isValid())
            m_sleepDelayLock = reply.value();
        call->deleteLater();
        if (m_sleepDelayLock.isValid())
            emit sleepDelayLockTaken();
    });
}
