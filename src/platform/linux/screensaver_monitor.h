#pragma once

#include <QDBusConnection>
#include <QObject>

#include <optional>

// Follows the screen saver's ActiveChanged(bool) from the freedesktop and the
// GNOME services. Desktops that offer both announce one change twice; only
// real changes are reported.
class ScreensaverMonitor : public QObject
{
    Q_OBJECT

public:
    explicit ScreensaverMonitor(const QDBusConnection &sessionBus, QObject *parent = nullptr);

    bool isListening() const { return m_listening; }

signals:
    void screensDidSleep();
    void screensDidWake();

private slots:
    void onActiveChanged(bool active);

private:
    bool m_listening = false;
    std::optional<bool> m_active;
};
