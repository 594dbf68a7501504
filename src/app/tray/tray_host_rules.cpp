#include "app/tray/tray_host_rules.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>

TrayHost trayHostForProcess(const QString &processName)
{
    if (processName == QStringLiteral("gnome-shell"))
        return TrayHost::gnomeShell;
    // Plasma's watcher lives in the KDE daemon, or in the shell when it runs alone.
    if (processName == QStringLiteral("kded5") || processName == QStringLiteral("kded6")
        || processName == QStringLiteral("plasmashell"))
        return TrayHost::plasma;
    // XFCE runs external panel plugins inside wrapper processes.
    if (processName == QStringLiteral("xfce4-panel") || processName.startsWith(QStringLiteral("wrapper-")))
        return TrayHost::xfce;
    if (processName == QStringLiteral("lxqt-panel"))
        return TrayHost::lxqt;
    return TrayHost::unknown;
}

TrayHostBehaviour trayHostBehaviour(TrayHost host)
{
    switch (host) {
    case TrayHost::gnomeShell:
        // The AppIndicator extension: the menu on a click, Activate only for a
        // double click, the label beside a 16 px icon on the black top bar.
        return {.menuOnLeftClick = true,
                .drawsLabel = true,
                .loneActivateIsDoubleClick = true,
                .panelAlwaysDark = true,
                .iconSizePx = 16};
    case TrayHost::plasma:
    case TrayHost::xfce:
    case TrayHost::lxqt:
    case TrayHost::unknown:
        // Activate per click (twice for a double click), the menu on a right
        // click, square 22 px slots without a label.
        break;
    }
    return {};
}

TrayClickHint trayClickHint(const TrayHostBehaviour &host)
{
    if (host.menuOnLeftClick)
        return {QStringLiteral("Click the battery icon"),
                QStringLiteral("Opens a menu — Battery Menu, its first entry, shows the quick view.")};
    return {QStringLiteral("Click the battery icon"),
            QStringLiteral("Opens a quick battery menu — like the system one, with extra detail.")};
}

void lookUpWatcherOwnerProcess(const QDBusConnection &bus, const QString &watcherService, QObject *context,
                               std::function<void(uint processId, const QString &processName)> done)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"));
    call.setArguments({watcherService});
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         const QDBusPendingReply<uint> reply = *watcher;
                         QString name;
                         if (reply.isValid()) {
                             // procfs is served from memory: no disk behind this read.
                             QFile comm(QStringLiteral("/proc/%1/comm").arg(reply.value()));
                             if (comm.open(QIODevice::ReadOnly))
                                 name = QString::fromLocal8Bit(comm.readAll()).trimmed();
                         }
                         done(name.isEmpty() ? 0 : reply.value(), name);
                     });
}
