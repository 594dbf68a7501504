#include "platform/linux/status_notifier_item.h"

#include "platform/linux/dbusmenu_exporter.h"
#include "platform/linux/sni_adaptor.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QLoggingCategory>

#include <atomic>

Q_LOGGING_CATEGORY(lcStatusNotifier, "pendrapro.statusnotifier", QtWarningMsg)

namespace {

QString nextServiceName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

} // namespace

bool StatusNotifierItem::watcherAvailable(const QDBusConnection &bus, const QString &watcherService)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(watcherService);
    return reply.isValid() && reply.value();
}

StatusNotifierItem::StatusNotifierItem(const QDBusConnection &bus, Clock &clock, QObject *parent,
                                       QString watcherService)
    : StatusItem(clock, parent)
    , m_bus(bus)
    , m_watcherService(std::move(watcherService))
    , m_serviceName(nextServiceName())
{
    registerSniTypes();
    m_adaptor = new StatusNotifierItemAdaptor(this);
    if (!m_bus.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors))
        qCWarning(lcStatusNotifier) << "cannot export" << kItemPath;
    if (!m_bus.registerService(m_serviceName))
        qCWarning(lcStatusNotifier) << "cannot own" << m_serviceName;

    // A panel restart brings a new watcher that knows nothing of us.
    m_watcherWatch = new QDBusServiceWatcher(m_watcherService, m_bus,
                                             QDBusServiceWatcher::WatchForRegistration
                                                 | QDBusServiceWatcher::WatchForUnregistration,
                                             this);
    connect(m_watcherWatch, &QDBusServiceWatcher::serviceRegistered, this, &StatusNotifierItem::registerWithWatcher);
    connect(m_watcherWatch, &QDBusServiceWatcher::serviceUnregistered, this, [this] { setRegistered(false); });
    registerWithWatcher();
}

StatusNotifierItem::~StatusNotifierItem()
{
    m_bus.unregisterService(m_serviceName);
    m_bus.unregisterObject(kItemPath);
}

void StatusNotifierItem::registerWithWatcher()
{
    // The interface keeps its name whatever the watcher's bus name is.
    QDBusMessage call = QDBusMessage::createMethodCall(m_watcherService, kWatcherPath, kWatcherService,
                                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *watcher) {
        watcher->deleteLater();
        const QDBusPendingReply<> reply = *watcher;
        if (reply.isError())
            qCInfo(lcStatusNotifier) << "watcher refused the item:" << reply.error().message();
        setRegistered(!reply.isError());
    });
}

void StatusNotifierItem::setRegistered(bool registered)
{
    if (m_registered == registered)
        return;
    m_registered = registered;
    emit registeredChanged(registered);
}

void StatusNotifierItem::setIcon(const QList<StatusIconPixmap> &sizes)
{
    SniImageList icon;
    icon.reserve(sizes.size());
    for (const StatusIconPixmap &pixmap : sizes)
        icon.append(SniImage{pixmap.width, pixmap.height, pixmap.argb});
    m_icon = icon;
    emit m_adaptor->NewIcon();
}

void StatusNotifierItem::setLabel(const QString &label)
{
    if (m_label == label)
        return;
    m_label = label;
    emit m_adaptor->XAyatanaNewLabel(m_label, m_adaptor->labelGuide());
}

void StatusNotifierItem::setToolTip(const QString &title, const QString &body)
{
    m_toolTipTitle = title;
    m_toolTipBody = body;
    emit m_adaptor->NewToolTip();
}

void StatusNotifierItem::setAccessibleName(const QString &name)
{
    // Hosts read Title as the item's accessible name.
    if (m_title == name)
        return;
    m_title = name;
    emit m_adaptor->NewTitle();
}

void StatusNotifierItem::setMenu(QMenu *menu)
{
    // The old exporter must leave the path before the new one takes it.
    delete m_menuExporter;
    m_menuExporter = new DbusMenuExporter(m_bus, kMenuPath, menu, this);
    if (!m_menuExporter->isExported())
        qCWarning(lcStatusNotifier) << "cannot export the menu at" << kMenuPath;
}

SniToolTip StatusNotifierItem::toolTip() const
{
    return SniToolTip{QString(), {}, m_toolTipTitle, m_toolTipBody};
}

void StatusNotifierItem::activate(int x, int y)
{
    handleActivation(QPoint(x, y));
}

void StatusNotifierItem::contextMenu(int x, int y)
{
    handleContextMenuRequest(QPoint(x, y));
}
