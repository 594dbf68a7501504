#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QUuid>

// A bus name no other test process uses, so that test executables can share
// one session bus while running in parallel.
inline QString perProcessBusName(const QString &base)
{
    return base + QStringLiteral(".test_p") + QString::number(QCoreApplication::applicationPid());
}

// A connection to the session bus apart from the process's default one, as
// another program on the bus has: what it serves is reached over the real
// bus. It gives up the name it owns and closes when it goes, so the next test
// can take the name at once.
class BusPeer
{
public:
    explicit BusPeer(const QString &role)
        : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                              role + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::WithoutBraces)))
    {
    }
    ~BusPeer()
    {
        if (!m_service.isEmpty())
            m_bus.unregisterService(m_service);
        QDBusConnection::disconnectFromBus(m_bus.name());
    }
    BusPeer(const BusPeer &) = delete;
    BusPeer &operator=(const BusPeer &) = delete;

    QDBusConnection &bus() { return m_bus; }
    // Takes the well-known name; false when it is taken or there is no bus.
    bool own(const QString &service)
    {
        m_service = service;
        return m_bus.isConnected() && m_bus.registerService(service);
    }

private:
    QDBusConnection m_bus;
    QString m_service;
};
