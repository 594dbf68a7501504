#include "fakes/fake_logind.h"

#include "support/event_loop.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

FakeSignalSource::FakeSignalSource(const QString &serviceName)
{
    // Listeners on the default connection match senders by the name's owner;
    // they must have seen the owner change before the first signal goes out.
    QDBusConnection listeners = QDBusConnection::sessionBus();
    QDBusServiceWatcher seen(serviceName, listeners, QDBusServiceWatcher::WatchForRegistration);
    bool registered = false;
    QObject::connect(&seen, &QDBusServiceWatcher::serviceRegistered, [&registered] { registered = true; });
    // The watcher's match rule goes out without waiting; a round trip after it
    // makes sure the bus has it before the name is taken, or on a busy machine
    // the notice can be missed for good.
    listeners.interface()->isServiceRegistered(serviceName);
    m_serving = m_peer.own(serviceName) && spinUntil([&] { return registered; }, 15000);
}

void FakeSignalSource::emitSignal(const QString &path, const QString &interface, const QString &name, bool argument)
{
    QDBusMessage message = QDBusMessage::createSignal(path, interface, name);
    message << argument;
    m_peer.bus().send(message);
}

FakeLogindManager::~FakeLogindManager()
{
    for (const auto &notifier : m_held)
        ::close(int(notifier->socket()));
}

QDBusUnixFileDescriptor FakeLogindManager::Inhibit(const QString &, const QString &, const QString &, const QString &)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return {};
    ++m_locksTaken;
    QDBusUnixFileDescriptor handedOut(ends[1]); // a duplicate goes to the caller
    ::close(ends[1]);
    auto notifier = std::make_unique<QSocketNotifier>(ends[0], QSocketNotifier::Read);
    QSocketNotifier *raw = notifier.get();
    // The read end becomes readable (end of file) once every write end is gone.
    connect(raw, &QSocketNotifier::activated, this, [this, raw] {
        raw->setEnabled(false);
        ::close(int(raw->socket()));
        for (auto &held : m_held) {
            if (held.get() == raw)
                held.release()->deleteLater();
        }
        std::erase(m_held, nullptr);
        if (onLockReleased)
            onLockReleased();
    });
    m_held.push_back(std::move(notifier));
    return handedOut;
}

FakeLogind::FakeLogind(const QString &serviceName)
    : FakeSignalSource(serviceName)
{
    connection().registerObject(QStringLiteral("/org/freedesktop/login1"), &m_manager, QDBusConnection::ExportAllSlots);
}
