#pragma once

#include "support/bus_peer.h"

#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// org.freedesktop.Notifications served on a connection of its own, recording
// what it is asked. Calls to it must be asynchronous when the caller shares
// its thread: spin the event loop until the record shows up.
class FakeNotificationServer : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Received
    {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
    };

    FakeNotificationServer();

    // False when the name could not be taken (another server owns it).
    bool isRegistered() const { return m_registered; }

    QList<Received> notifications;
    int capabilityRequests = 0;
    // False: a hung server that records each call and never answers it.
    bool answering = true;

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int expireTimeout);
    QStringList GetCapabilities();

private:
    BusPeer m_peer{QStringLiteral("fake-notification-server")};
    bool m_registered = false;
};
