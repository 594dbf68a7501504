#include "platform/linux/sysfs_charge_thresholds.h"

#include "platform/linux/power_supply_discovery.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include <cerrno>

namespace {

const QString kStart = QStringLiteral("charge_control_start_threshold");
const QString kEnd = QStringLiteral("charge_control_end_threshold");

} // namespace

QString upowerBatteryPath(const QString &batteryName)
{
    // UPower names a device "<kind>_<sysfs name>" with every character that
    // is not valid in an object path element turned into '_'.
    QString element = QStringLiteral("battery_") + batteryName;
    for (QChar &c : element) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('_'))
            c = QLatin1Char('_');
    }
    return QStringLiteral("/org/freedesktop/UPower/devices/") + element;
}

SysfsChargeThresholds::SysfsChargeThresholds(QString sysRoot, SysfsFiles &files)
    : m_sysRoot(std::move(sysRoot))
    , m_files(files)
    , m_supplies(files, powerSupplyDirectory(m_sysRoot))
{
}

SysfsChargeThresholds::~SysfsChargeThresholds() = default;

void SysfsChargeThresholds::askDesktop(const QDBusConnection &bus)
{
    const QStringList batteries = batteryNames();
    if (batteries.isEmpty())
        return;
    // Packs of one machine share their firmware's threshold support.
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.UPower"),
                                                       upowerBatteryPath(batteries.constFirst()),
                                                       QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("GetAll"));
    call << QStringLiteral("org.freedesktop.UPower.Device");
    m_desktopQuery = std::make_unique<QDBusPendingCallWatcher>(bus.asyncCall(call));
    QObject::connect(m_desktopQuery.get(), &QDBusPendingCallWatcher::finished, m_desktopQuery.get(),
                     [this](QDBusPendingCallWatcher *watcher) {
                         const QDBusPendingReply<QVariantMap> reply = *watcher;
                         m_desktopCanHoldLimit = !reply.isError()
                             && reply.value().value(QStringLiteral("ChargeThresholdSupported")).toBool();
                     });
}

std::optional<ChargeThresholdValues> SysfsChargeThresholds::read()
{
    // The machine charges as far as its most permissive pack: the limit
    // holds only once every pack keeps it.
    std::optional<ChargeThresholdValues> machine;
    for (const QString &battery : batteryNames()) {
        const auto pack = readPack(battery);
        if (pack && (!machine || pack->end > machine->end))
            machine = pack;
    }
    return machine;
}

int SysfsChargeThresholds::write(const ChargeThresholdValues &values)
{
    bool anyPack = false;
    for (const QString &battery : batteryNames()) {
        const std::optional<ChargeThresholdValues> current = readPack(battery);
        if (!current)
            continue;
        anyPack = true;
        if (const int error = writePack(battery, *current, values))
            return error;
    }
    return anyPack ? 0 : ENOENT;
}

int SysfsChargeThresholds::writePack(const QString &battery, const ChargeThresholdValues &current,
                                     const ChargeThresholdValues &values)
{
    // Drivers refuse a start at or above the end, so the end moves first
    // when it rises and last when it falls.
    const bool raising = values.end > current.end;
    if (raising) {
        if (const int error = writePercent(battery, kEnd, values.end))
            return error;
    }
    if (current.start && values.start && *values.start != *current.start) {
        if (const int error = writePercent(battery, kStart, *values.start))
            return error;
    }
    if (!raising && values.end != current.end)
        return writePercent(battery, kEnd, values.end);
    return 0;
}

QStringList SysfsChargeThresholds::batteryNames()
{
    return m_supplies.discover().batteries;
}

std::optional<ChargeThresholdValues> SysfsChargeThresholds::readPack(const QString &battery)
{
    const std::optional<int> end = readPercent(battery, kEnd);
    if (!end)
        return std::nullopt;
    return ChargeThresholdValues{readPercent(battery, kStart), *end};
}

std::optional<int> SysfsChargeThresholds::readPercent(const QString &battery, const QString &attribute)
{
    const std::optional<QByteArray> text = m_files.read(attributePath(battery, attribute));
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int percent = text->trimmed().toInt(&ok);
    if (!ok || percent < 0 || percent > 100)
        return std::nullopt;
    return percent;
}

int SysfsChargeThresholds::writePercent(const QString &battery, const QString &attribute, int percent)
{
    return m_files.write(attributePath(battery, attribute), QByteArray::number(percent));
}

QString SysfsChargeThresholds::attributePath(const QString &battery, const QString &attribute) const
{
    return powerSupplyDirectory(m_sysRoot) + battery + QLatin1Char('/') + attribute;
}
