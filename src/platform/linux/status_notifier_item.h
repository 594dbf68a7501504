#pragma once

#include "platform/linux/sni_types.h"
#include "platform/status_item.h"

#include <QDBusConnection>

class DbusMenuExporter;
class QDBusServiceWatcher;

// The status item as a StatusNotifierItem on the session bus: the icon as
// IconPixmap, the label as XAyatanaLabel (shown beside the icon by hosts that
// support it), the menu as com.canonical.dbusmenu, Activate as a left click,
// ContextMenu and SecondaryActivate as a right click. Registers with the
// StatusNotifierWatcher now and whenever a watcher appears later; hosts ask
// for the menu at registration, so set it before the event loop turns.
class StatusNotifierItem final : public StatusItem
{
    Q_OBJECT

public:
    static inline const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
    static inline const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
    static inline const QString kItemPath = QStringLiteral("/StatusNotifierItem");
    // Where the item's menu is exported as com.canonical.dbusmenu.
    static inline const QString kMenuPath = QStringLiteral("/MenuBar");

    // True when some host can show an item on `bus`.
    static bool watcherAvailable(const QDBusConnection &bus, const QString &watcherService = kWatcherService);

    // `watcherService` is the watcher's bus name; tests run their own.
    StatusNotifierItem(const QDBusConnection &bus, Clock &clock, QObject *parent = nullptr,
                       QString watcherService = kWatcherService);
    ~StatusNotifierItem() override;

    void setIcon(const QList<StatusIconPixmap> &sizes) override;
    void setLabel(const QString &label) override;
    void setToolTip(const QString &title, const QString &body) override;
    void setAccessibleName(const QString &name) override;
    // Exports `menu` at kMenuPath, replacing an earlier one.
    void setMenu(QMenu *menu) override;

    // "org.kde.StatusNotifierItem-<pid>-<n>".
    const QString &serviceName() const { return m_serviceName; }
    // The watcher accepted the item.
    bool isRegistered() const { return m_registered; }

    // Read by the D-Bus adaptor.
    const SniImageList &iconPixmaps() const { return m_icon; }
    const QString &label() const { return m_label; }
    const QString &title() const { return m_title; }
    SniToolTip toolTip() const;

    // Called by the D-Bus adaptor.
    void activate(int x, int y);
    void contextMenu(int x, int y);

signals:
    void registeredChanged(bool registered);

private:
    void registerWithWatcher();
    void setRegistered(bool registered);

    QDBusConnection m_bus;
    QString m_watcherService;
    QString m_serviceName;
    QDBusServiceWatcher *m_watcherWatch = nullptr;
    DbusMenuExporter *m_menuExporter = nullptr;
    class StatusNotifierItemAdaptor *m_adaptor = nullptr;
    bool m_registered = false;

    SniImageList m_icon;
    QString m_label;
    QString m_title = QStringLiteral("Pendra Pro");
    QString m_toolTipTitle;
    QString m_toolTipBody;
};
