#pragma once

#include "support/bus_peer.h"

#include <QObject>
#include <QStringList>

// A StatusNotifierWatcher on its own connection to the session bus; records
// the items that register.
class FakeWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public:
    // Serves under `serviceName` (see perProcessBusName).
    explicit FakeWatcher(const QString &serviceName);

    // False when the name was taken or there is no session bus.
    bool isServing() const { return m_serving; }
    const QStringList &registeredItems() const { return m_items; }

public slots:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString &service);

private:
    BusPeer m_peer{QStringLiteral("fake-watcher")};
    bool m_serving = false;
    QStringList m_items;
};
