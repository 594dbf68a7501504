#pragma once

#include <QDBusConnection>
#include <QObject>

// Follows the login manager's PrepareForSleep(bool) signal: true just before
// the machine suspends, false once it has resumed.
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

signals:
    void willSleep();
    void didWake();

private slots:
    void onPrepareForSleep(bool sleeping);

private:
    bool m_listening = false;
};
