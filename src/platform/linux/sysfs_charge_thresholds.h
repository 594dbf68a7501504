#pragma once

#include "platform/charge_thresholds.h"
#include "platform/linux/power_supply_discovery.h"
#include "platform/linux/sysfs_files.h"

#include <QString>
#include <QStringList>

#include <memory>

class QDBusConnection;
class QDBusPendingCallWatcher;

// The system batteries' `charge_control_start_threshold` and
// `charge_control_end_threshold` (thinkpad_acpi, asus-wmi, cros_charge-control,
// dell-laptop, huawei-wmi, lg-laptop, samsung-galaxybook, system76_acpi,
// macsmc-battery, …). The batteries are the ones PowerSupplyDiscovery
// finds, looked up on every call, so the limit lands on every pack the
// reading and charge_behaviour describe, an external pack inserted later too.
class SysfsChargeThresholds final : public ChargeThresholds
{
public:
    explicit SysfsChargeThresholds(QString sysRoot = QStringLiteral("/sys"), SysfsFiles &files = SysfsFiles::real());
    ~SysfsChargeThresholds() override;

    // Asks UPower on `bus` whether it offers its own threshold switch for
    // this battery (ChargeThresholdSupported, UPower 1.90.5 and later). The
    // answer arrives on the main thread's event loop; an older daemon, or
    // none, means no.
    void askDesktop(const QDBusConnection &bus);

    std::optional<ChargeThresholdValues> read() override;
    int write(const ChargeThresholdValues &values) override;
    bool desktopCanHoldLimit() const override { return m_desktopCanHoldLimit; }

private:
    QStringList batteryNames();
    // One pack's thresholds; none without an end threshold.
    std::optional<ChargeThresholdValues> readPack(const QString &battery);
    int writePack(const QString &battery, const ChargeThresholdValues &current, const ChargeThresholdValues &values);
    std::optional<int> readPercent(const QString &battery, const QString &attribute);
    int writePercent(const QString &battery, const QString &attribute, int percent);
    QString attributePath(const QString &battery, const QString &attribute) const;

    QString m_sysRoot;
    SysfsFiles &m_files;
    PowerSupplyDiscovery m_supplies;
    bool m_desktopCanHoldLimit = false;
    std::unique_ptr<QDBusPendingCallWatcher> m_desktopQuery;
};

// UPower's object path for a battery named `batteryName` in sysfs.
QString upowerBatteryPath(const QString &batteryName);
