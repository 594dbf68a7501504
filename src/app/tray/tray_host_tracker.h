#pragma once

#include "app/tray/tray_host_rules.h"
#include "app/tray/tray_icon_settings.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ColorSchemeSource;
class Defaults;
class QDBusServiceWatcher;
class QTimer;
class TrayPanelProbe;

// What the status item's look and clicks depend on besides the battery: the
// tray host (told by the process owning the StatusNotifierWatcher, followed
// when a panel restarts or another desktop takes over), the desktop's colour
// scheme, the panel's measured colours, the application palette and the tray
// icon settings.
class TrayHostTracker : public QObject
{
    Q_OBJECT

public:
    static inline const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

    // `colorScheme` and `panel` may be null (then only the palette tells
    // light from dark).
    TrayHostTracker(const Defaults &defaults, const ColorSchemeSource *colorScheme, TrayPanelProbe *panel,
                    const QDBusConnection &bus, QString watcherService = kWatcherService, QObject *parent = nullptr);

    // The item registers with the watcher (`viaWatcher`) or sits in an
    // XEmbed tray, which behaves as an unknown host. `iconGeometry` tells
    // where the tray placed the icon, where the item knows it.
    void follow(bool viaWatcher, std::function<QRect()> iconGeometry = {});

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
    // Reads the panel again and announces a look change when `always` or
    // when the reading changed.
    void measurePanel(bool always);

    const Defaults &m_defaults;
    const ColorSchemeSource *m_colorScheme;
    TrayPanelProbe *m_panel;
    std::function<QRect()> m_iconGeometry;
    std::optional<bool> m_panelIsDark;
    // The process drawing the panel, where the watcher's owner is known.
    uint m_hostProcess = 0;
    QDBusConnection m_bus;
    QString m_watcherService;
    QTimer *m_panelSettle;
    QDBusServiceWatcher *m_ownerWatch = nullptr;
    // Answers to an older lookup are dropped.
    int m_lookUpGeneration = 0;
    TrayHostBehaviour m_host = trayHostBehaviour(TrayHost::unknown);
};
