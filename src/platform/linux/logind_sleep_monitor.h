#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

// Follows the login manager's PrepareForSleep(bool) signal: true just before
// the machine suspends, false once it has resumed. While awake it holds a
// "delay" sleep inhibitor, so the machine waits (up to logind's
// InhibitDelayMaxSec) until willSleep's handlers have run; the lock is
// released right after them and taken again on resume. Without the lock the
// signal arrives too late to record anything before the suspend.
class LogindSleepMonitor : public QObject
{
    Q_OBJECT

public:
    static inline const QString kService = QStringLiteral("org.freedesktop.login1");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/login1");
    static inline const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");

    // `bus` is normally the system bus; `service` the login manager's name.
    explicit LogindSleepMonitor(const QDBusConnection &bus, const QString &service = kService,
                                QObject *parent = nullptr);

    // False when the bus could not be subscribed to (no system bus).
    bool isListening() const { return m_listening; }
    bool holdsSleepDelayLock() const { return m_sleepDelayLock.isValid(); }

signals:
    // Handlers run before the machine may suspend; keep them short.
    void willSleep();
    void didWake();
    void sleepDelayLockTaken();

private slots:
    void onPrepareForSleep(bool sleeping);

private:
    void takeSleepDelayLock();

    QDBusConnection m_bus;
    QString m_service;
    bool m_listening = false;
    QDBusUnixFileDescriptor m_sleepDelayLock;
};
