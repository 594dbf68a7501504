#pragma once

class QDBusConnection;

// Whether a secret store is on the session bus, running or startable: the
// Secret Service or the KDE wallet daemon that stands in for it. Only when
// none is may a secret go to the per-user file; a keyring that is there but
// refuses (locked, its prompt cancelled) is never bypassed in plain text.
// Asks the bus daemon itself, which answers at once.
bool secretStoreOnBus(const QDBusConnection &bus);
