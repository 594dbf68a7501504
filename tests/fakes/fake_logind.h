#pragma once

#include <QDBusConnection>
#include <QString>

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

// org.freedesktop.login1 with PrepareForSleep(b).
class FakeLogind : public FakeSignalSource
{
public:
    FakeLogind() : FakeSignalSource(QStringLiteral("org.freedesktop.login1")) {}
    void prepareForSleep(bool sleeping)
    {
        emitSignal(QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                   QStringLiteral("PrepareForSleep"), sleeping);
    }
};
