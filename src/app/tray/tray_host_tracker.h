#pragma once

#include "app/tray/tray_host_rules.h"
#include "app/tray/tray_icon_settings.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

class ColorSchemeSource;
class Defaults;
class QDBusServiceWatcher;

// What the status item's look and clicks depend on besides the battery: the
// tray host (told by the process owning the StatusNotifierWatcher, followed
// when a panel restarts or another desktop takes over), the desktop's colour
// scheme, the application palette and the tray icon settings.
class TrayHostTracker : public QObject
{
    Q_OBJECT

public:
    static inline const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

    // `colorScheme` may be null (then only the palette tells light from dark).
    TrayHostTracker(const Defaults &defaults, const ColorSchemeSource *colorScheme, const QDBusConnection &bus,
                    QString watcherService = kWatcherService, QObject *parent = nullptr);

    // The item registers with the watcher (`viaWatcher`) or sits in an
    // XEmbed tray, which behaves as an unknown host.
    void follow(bool viaWatcher);

    const TrayHostBehaviour &host() const { return m_host; }
    TrayIconLook look() const;

signals:
    void hostChanged();
    // The colour scheme or the palette changed (settings changes are posted
    // as pendrapro.menuBarDisplayChanged).
    void lookChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void lookUpHost();
    void setHost(const TrayHostBehaviour &host);

    const Defaults &m_defaults;
    const ColorSchemeSource *m_colorScheme;
    QDBusConnection m_bus;
    QString m_watcherService;
    QDBusServiceWatcher *m_ownerWatch = nullptr;
    // Answers to an older lookup are dropped.
    int m_lookUpGeneration = 0;
    TrayHostBehaviour m_host = trayHostBehaviour(TrayHost::unknown);
};
