#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QThread>

#include <atomic>

// Owns org.freedesktop.secrets on this test's session bus, counts every call
// made to it and answers each with an error. It serves from a thread of its
// own, so a caller that waits on the main thread cannot lock it out.
class FakeSecretService
{
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.secrets");

    FakeSecretService()
    {
        m_thread.start();
        m_endpoint.moveToThread(&m_thread);
        m_registered = m_bus.registerVirtualObject(QStringLiteral("/"), &m_endpoint, QDBusConnection::SubPath)
                       && m_bus.registerService(kService);
    }

    ~FakeSecretService()
    {
        m_bus.unregisterService(kService);
        m_bus.unregisterObject(QStringLiteral("/"), QDBusConnection::UnregisterTree);
        // The endpoint goes after the thread has stopped serving it.
        m_thread.quit();
        m_thread.wait();
    }

    bool registered() const { return m_registered; }

    // Calls handled so far. Before counting, a round trip through the bus
    // daemon and the serving thread delivers everything sent earlier.
    int calls()
    {
        m_bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                  QStringLiteral("/org/freedesktop/DBus"),
                                                  QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
        QMetaObject::invokeMethod(&m_endpoint, [] {}, Qt::BlockingQueuedConnection);
        return m_endpoint.calls.load();
    }

private:
    class Endpoint : public QDBusVirtualObject
    {
    public:
        std::atomic<int> calls{0};

        QString introspect(const QString &) const override { return {}; }
        bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
        {
            ++calls;
            QDBusConnection(connection).send(
                message.createErrorReply(QDBusError::NotSupported, QStringLiteral("a test stand-in")));
            return true;
        }
    };

    QDBusConnection m_bus = QDBusConnection::sessionBus();
    QThread m_thread;
    Endpoint m_endpoint;
    bool m_registered = false;
};
