#pragma once

#include "support/bus_peer.h"

#include <QString>
#include <QVariant>

#include <optional>

// A tray host on its own session-bus connection: reads an item's properties
// and clicks it, the way a panel does. Calls are asynchronous and spin the
// event loop, so the item may live in the calling thread.
class FakeSniHost
{
public:
    // The property's value (D-Bus structures stay as QDBusArgument).
    std::optional<QVariant> property(const QString &service, const QString &name);
    // Calls Activate, SecondaryActivate or ContextMenu; true once answered
    // without error.
    bool click(const QString &service, const QString &method, int x, int y);

private:
    BusPeer m_peer{QStringLiteral("fake-sni-host")};
};
