#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QString>

// A bus name no other test process uses, so that test executables can share
// one session bus while running in parallel.
inline QString perProcessBusName(const QString &base)
{
    return base + QStringLiteral(".test_p") + QString::number(QCoreApplication::applicationPid());
}

// Owns a well-known name on its own session-bus connection and emits the
// signals the login manager and the screen savers send.
class FakeSignalSource
{
public:
    explicit FakeSignalSource(const QString &serviceName);
    ~FakeSignalSource();

    bool isServing() const { return m_serving; }
    void emitSignal(const QString &path, const QString &interface, const QString &name, bool argument);

private:
    QString m_serviceName;
    QString m_connectionName;
    bool m_serving = false;
};

// The login manager's PrepareForSleep(b), under the bus name given.
class FakeLogind : public FakeSignalSource
{
public:
    explicit FakeLogind(const QString &serviceName) : FakeSignalSource(serviceName) {}
    void prepareForSleep(bool sleeping)
    {
        emitSignal(QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                   QStringLiteral("PrepareForSleep"), sleeping);
    }
};
