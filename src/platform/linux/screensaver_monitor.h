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
    static inline const QString kFreedesktopService = QStringLiteral("org.freedesktop.ScreenSaver");
    static inline const QString kGnomeService = QStringLiteral("org.gnome.ScreenSaver");

    // The services' bus names are those of the desktop unless given.
    explicit ScreensaverMonitor(const QDBusConnection &sessionBus,
                                const QString &freedesktopService = kFreedesktopService,
                                const QString &gnomeService = kGnomeService, QObject *parent = nullptr);

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
