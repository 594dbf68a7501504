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
{
}

SysfsChargeThresholds::~SysfsChargeThresholds() = default;

void SysfsChargeThresholds::askDesktop(const QDBusConnection &bus)
{
    if (batteryDirectory().isEmpty())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.UPower"),
                                                       upowerBatteryPath(m_batteryName),
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
    if (batteryDirectory().isEmpty())
        return std::nullopt;
    const std::optional<int> end = readPercent(kEnd);
    if (!end)
        return std::nullopt;
    return ChargeThresholdValues{readPercent(kStart), *end};
}

int SysfsChargeThresholds::write(const ChargeThresholdValues &values)
{
    const std::optional<ChargeThresholdValues> current = read();
    if (!current)
        return ENOENT;
    // Drivers refuse a start at or above the end, so the end moves first
    // when it rises and last when it falls.
    const bool raising = values.end > current->end;
    if (raising) {
        if (const int error = writePercent(kEnd, values.end))
            return error;
    }
    if (current->start && values.start && *values.start != *current->start) {
        if (const int error = writePercent(kStart, *values.start))
            return error;
    }
    if (!raising && values.end != current->end)
        return writePercent(kEnd, values.end);
    return 0;
}

QString SysfsChargeThresholds::batteryDirectory()
{
    const QString supplies = powerSupplyDirectory(m_sysRoot);
    if (m_batteryName.isEmpty())
        m_batteryName = discoverPowerSupplies(m_files, supplies).battery;
    return m_batteryName.isEmpty() ? QString() : supplies + m_batteryName + QLatin1Char('/');
}

std::optional<int> SysfsChargeThresholds::readPercent(const QString &attribute)
{
    const std::optional<QByteArray> text = m_files.read(batteryDirectory() + attribute);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int percent = text->trimmed().toInt(&ok);
    if (!ok || percent < 0 || percent > 100)
        return std::nullopt;
    return percent;
}

int SysfsChargeThresholds::writePercent(const QString &attribute, int percent)
{
    return m_files.write(batteryDirectory() + attribute, QByteArray::number(percent));
}
