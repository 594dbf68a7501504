#pragma once

#include "support/bus_peer.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <functional>
#include <memory>

// Owns a well-known name on its own session-bus connection and emits the
// signals the login manager and the screen savers send.
class FakeSignalSource
{
public:
    explicit FakeSignalSource(const QString &serviceName);

    bool isServing() const { return m_serving; }
    void emitSignal(const QString &path, const QString &interface, const QString &name, bool argument);

protected:
    QDBusConnection &connection() { return m_peer.bus(); }

private:
    BusPeer m_peer{QStringLiteral("fake-signal-source")};
    bool m_serving = false;
};

// The login manager's Inhibit(ssss) → h: hands out the write end of a pipe
// and notices when every copy of it is closed, as logind does.
class FakeLogindManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    ~FakeLogindManager() override;

    int locksTaken() const { return m_locksTaken; }
    int locksHeld() const { return int(m_held.size()); }
    std::function<void()> onLockReleased;

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why, const QString &mode);

private:
    int m_locksTaken = 0;
    std::vector<std::unique_ptr<QSocketNotifier>> m_held;
};

// The login manager's PrepareForSleep(b) and Inhibit, under the bus name given.
class FakeLogind : public FakeSignalSource
{
public:
    explicit FakeLogind(const QString &serviceName);
    void prepareForSleep(bool sleeping)
    {
        emitSignal(QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                   QStringLiteral("PrepareForSleep"), sleeping);
    }
    FakeLogindManager &manager() { return m_manager; }

private:
    FakeLogindManager m_manager;
};
