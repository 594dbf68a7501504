#include "platform/linux/upower_power_sources.h"

#include "platform/format.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDeadlineTimer>

#include <algorithm>
#include <cmath>

using namespace std::chrono_literals;

namespace {

const QString kService = QStringLiteral("org.freedesktop.UPower");
const QString kRootPath = QStringLiteral("/org/freedesktop/UPower");
const QString kRootInterface = QStringLiteral("org.freedesktop.UPower");
const QString kDeviceInterface = QStringLiteral("org.freedesktop.UPower.Device");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
// The daemon's composite of every system battery: what the machine has left.
const QString kDisplayDevicePath = QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice");

constexpr uint kTypeBattery = 2;
constexpr uint kStateUnknown = 0;
constexpr uint kStateCharging = 1;

constexpr auto kDefaultBudget = 1500ms;
// How long a battery's signalled properties are trusted without asking.
constexpr auto kKeptBatteryLifetime = 60s;

// UPower reports times in seconds, 0 when it has no estimate.
qint64 secondsToMinutes(qint64 seconds)
{
    return roundHalfAway(static_cast<double>(seconds) / 60.0);
}


QList<QDBusObjectPath> objectPaths(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return qdbus_cast<QList<QDBusObjectPath>>(value.value<QDBusArgument>());
    return value.value<QList<QDBusObjectPath>>();
}

QVariantMap propertyMap(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

std::optional<bool> booleanValue(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        return booleanValue(value.value<QDBusVariant>().variant());
    if (value.metaType() != QMetaType::fromType<bool>())
        return std::nullopt;
    return value.toBool();
}

std::optional<qint64> integerProperty(const QVariantMap &device, const QString &key)
{
    const QVariant value = device.value(key);
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong();
    default:
        return std::nullopt;
    }
}

// A device's kind never changes under its object path: a line-power
// device or a mouse never becomes the system battery.
bool isSystemBatteryKind(const QVariantMap &device)
{
    return integerProperty(device, QStringLiteral("Type")) == kTypeBattery
        && booleanValue(device.value(QStringLiteral("PowerSupply"))) == true;
}

bool isPoweringBattery(const QVariantMap &device)
{
    return isSystemBatteryKind(device) && booleanValue(device.value(QStringLiteral("IsPresent"))) != false;
}

std::optional<double> percentProperty(const QVariantMap &device, const QString &key)
{
    const QVariant value = device.value(key);
    if (value.metaType() != QMetaType::fromType<double>() || !std::isfinite(value.toDouble()))
        return std::nullopt;
    return value.toDouble();
}

// Each pack's own figures, for a machine whose battery is several packs.
QVariantList packDescriptions(const QList<QVariantMap> &batteries)
{
    QVariantList packs;
    for (const QVariantMap &battery : batteries) {
        QVariantMap pack;
        pack.insert(QStringLiteral("Name"), battery.value(QStringLiteral("NativePath")).toString());
        if (auto percentage = percentProperty(battery, QStringLiteral("Percentage")))
            pack.insert(QStringLiteral("Current Capacity"), roundHalfAwayInt(*percentage));
        if (auto capacity = percentProperty(battery, QStringLiteral("Capacity")); capacity && *capacity > 0)
            pack.insert(QStringLiteral("Health"), roundHalfAwayInt(*capacity));
        // UPower says -1 when the pack does not count its cycles.
        if (auto cycles = integerProperty(battery, QStringLiteral("ChargeCycles")); cycles && *cycles >= 0)
            pack.insert(QStringLiteral("Cycle Count"), *cycles);
        packs.append(pack);
    }
    return packs;
}

} // namespace

// One poll's calls to the daemon, sharing one time budget.
class UPowerCall
{
public:
    UPowerCall(const QDBusConnection &connection, std::chrono::milliseconds budget)
        : m_connection(connection)
        , m_deadline(budget)
    {
    }

    // The reply's first argument, or an invalid QVariant on error, timeout or
    // an exhausted budget.
    QVariant call(const QString &path, const QString &interface, const QString &method,
                  const QVariantList &arguments = {})
    {
        const qint64 remaining = m_deadline.remainingTime();
        if (remaining <= 0)
            return {};
        QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = m_connection.call(message, QDBus::Block, static_cast<int>(remaining));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return reply.arguments().constFirst();
    }

private:
    QDBusConnection m_connection;
    QDeadlineTimer m_deadline;
};

PowerSourceDescription powerSourceFromUPowerDevice(const QVariantMap &device, std::optional<bool> onBattery,
                                                   int index)
{
    PowerSourceDescription description;
    description.insert(QStringLiteral("Type"), QStringLiteral("InternalBattery"));
    description.insert(QStringLiteral("Name"), QStringLiteral("InternalBattery-%1").arg(index));

    if (auto percentage = percentProperty(device, QStringLiteral("Percentage"))) {
        description.insert(QStringLiteral("Current Capacity"), roundHalfAwayInt(*percentage));
        description.insert(QStringLiteral("Max Capacity"), 100);
    }
    if (onBattery)
        description.insert(QStringLiteral("Power Source State"),
                           *onBattery ? QStringLiteral("Battery Power") : QStringLiteral("AC Power"));

    const auto state = integerProperty(device, QStringLiteral("State"));
    if (state && *state != kStateUnknown)
        description.insert(QStringLiteral("Is Charging"), *state == kStateCharging);
    if (auto seconds = integerProperty(device, QStringLiteral("TimeToEmpty")))
        description.insert(QStringLiteral("Time to Empty"), secondsToMinutes(*seconds));
    if (auto seconds = integerProperty(device, QStringLiteral("TimeToFull")))
        description.insert(QStringLiteral("Time to Full Charge"), secondsToMinutes(*seconds));
    return description;
}

UPowerPowerSources::UPowerPowerSources()
    : UPowerPowerSources(QDBusConnection::systemBus(), kDefaultBudget)
{
}

UPowerPowerSources::UPowerPowerSources(const QDBusConnection &connection, std::chrono::milliseconds budget)
    : m_connection(connection)
    , m_budget(budget)
{
    if (!m_connection.isConnected())
        return;
    for (const QString &signal : {QStringLiteral("DeviceAdded"), QStringLiteral("DeviceRemoved")})
        m_connection.connect(kService, kRootPath, kRootInterface, signal, this,
                             SLOT(onDeviceAddedOrRemoved(QDBusObjectPath)));
    m_connection.connect(kService, kRootPath, kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                         SLOT(onRootPropertiesChanged(QString, QVariantMap, QStringList)));
    // Every device's changes; the slot tells them apart by the sender's path.
    m_connection.connect(kService, QString(), kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                         SLOT(onDevicePropertiesChanged(QDBusMessage)));
    // A restarted daemon may number its devices anew.
    auto *restarts = new QDBusServiceWatcher(kService, m_connection, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(restarts, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        m_devicesStale = true;
        m_onBatteryStale = true;
        QMutexLocker lock(&m_keptMutex);
        m_kept.clear();
        ++m_keptGeneration;
    });
}

void UPowerPowerSources::onDeviceAddedOrRemoved(const QDBusObjectPath &device)
{
    m_devicesStale = true;
    QMutexLocker lock(&m_keptMutex);
    if (m_kept.remove(device.path()))
        ++m_keptGeneration;
}

void UPowerPowerSources::onDevicePropertiesChanged(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 3 || arguments.at(0).toString() != kDeviceInterface)
        return;
    QMutexLocker lock(&m_keptMutex);
    const auto kept = m_kept.find(message.path());
    if (kept == m_kept.end())
        return;
    // A property the daemon only invalidates is asked for with the rest.
    ++m_keptGeneration;
    if (!qdbus_cast<QStringList>(arguments.at(2)).isEmpty()) {
        m_kept.erase(kept);
        return;
    }
    const QVariantMap changed = propertyMap(arguments.at(1));
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        kept->properties.insert(it.key(), it.value());
}

void UPowerPowerSources::onRootPropertiesChanged(const QString &interface, const QVariantMap &changed,
                                                 const QStringList &invalidated)
{
    const QString onBattery = QStringLiteral("OnBattery");
    if (interface == kRootInterface && (changed.contains(onBattery) || invalidated.contains(onBattery)))
        m_onBatteryStale = true;
}

QVariantMap UPowerPowerSources::batteryProperties(UPowerCall &upower, const QString &path)
{
    {
        QMutexLocker lock(&m_keptMutex);
        const auto kept = m_kept.constFind(path);
        if (kept != m_kept.cend() && !kept->askAgain.hasExpired())
            return kept->properties;
    }
    const QVariant properties = upower.call(path, kPropertiesInterface, QStringLiteral("GetAll"), {kDeviceInterface});
    // A device that no longer answers may be gone with its signal missed.
    if (!properties.isValid()) {
        m_devicesStale = true;
        return {};
    }
    const QVariantMap device = propertyMap(properties);
    // Asked once: every poll costs the daemon and us a round trip per device.
    if (!isSystemBatteryKind(device)) {
        m_otherDevices.insert(path);
        return device;
    }
    QMutexLocker lock(&m_keptMutex);
    m_kept.insert(path, {device, QDeadlineTimer(kKeptBatteryLifetime)});
    return device;
}

QList<PowerSourceDescription> UPowerPowerSources::copyPowerSources()
{
    if (!m_connection.isConnected())
        return {};
    if (lastSourcesHold())
        return m_lastSources;
    {
        // Taken before anything kept is read: a signal arriving from here
        // on has the next poll build the sources again.
        QMutexLocker lock(&m_keptMutex);
        m_lastSourcesGeneration = m_keptGeneration;
    }
    UPowerCall upower(m_connection, m_budget);
    m_lastSources = describeSources(upower);
    m_haveLastSources = true;
    return m_lastSources;
}

// The sources handed out last still hold when everything they were built
// from was answered, no signal has changed it since and no kept battery is
// due to be asked again.
bool UPowerPowerSources::lastSourcesHold()
{
    if (!m_haveLastSources || m_devicesStale || m_onBatteryStale || (!m_devices.isEmpty() && !m_onBattery))
        return false;
    QMutexLocker lock(&m_keptMutex);
    if (m_keptGeneration != m_lastSourcesGeneration)
        return false;
    return std::none_of(m_kept.cbegin(), m_kept.cend(),
                        [](const KeptBattery &kept) { return kept.askAgain.hasExpired(); });
}

QList<PowerSourceDescription> UPowerPowerSources::describeSources(UPowerCall &upower)
{
    QList<PowerSourceDescription> sources;
    // Each flag is cleared before asking, so a change signalled meanwhile is
    // asked about on the next poll.
    if (m_devicesStale.exchange(false)) {
        const QVariant devices = upower.call(kRootPath, kRootInterface, QStringLiteral("EnumerateDevices"));
        m_devices = objectPaths(devices);
        m_otherDevices.clear();
        QMutexLocker lock(&m_keptMutex);
        m_kept.clear();
        if (!devices.isValid())
            m_devicesStale = true;
    }
    if (m_devices.isEmpty())
        return sources;
    // An unanswered OnBattery stays unknown and is asked again.
    if (m_onBatteryStale.exchange(false) || !m_onBattery)
        m_onBattery = booleanValue(upower.call(kRootPath, kPropertiesInterface, QStringLiteral("Get"),
                                               {kRootInterface, QStringLiteral("OnBattery")}));

    QList<QVariantMap> batteries;
    for (const QDBusObjectPath &path : std::as_const(m_devices)) {
        if (m_otherDevices.contains(path.path()))
            continue;
        const QVariantMap device = batteryProperties(upower, path.path());
        if (isPoweringBattery(device))
            batteries.append(device);
    }
    // With several packs the machine's battery is their composite; each
    // pack alone would tell only a share of the truth.
    if (batteries.size() >= 2) {
        const QVariantMap machine = batteryProperties(upower, kDisplayDevicePath);
        if (isPoweringBattery(machine)) {
            PowerSourceDescription description = powerSourceFromUPowerDevice(machine, m_onBattery, 0);
            description.insert(QStringLiteral("Packs"), packDescriptions(batteries));
            sources.append(description);
            return sources;
        }
    }
    for (const QVariantMap &battery : std::as_const(batteries))
        sources.append(powerSourceFromUPowerDevice(battery, m_onBattery, static_cast<int>(sources.size())));
    return sources;
}
