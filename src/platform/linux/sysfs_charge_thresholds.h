#pragma once

#include "platform/charge_thresholds.h"
#include "platform/linux/sysfs_files.h"

#include <QString>

#include <memory>

class QDBusConnection;
class QDBusPendingCallWatcher;

// The system battery's `charge_control_start_threshold` and
// `charge_control_end_threshold` (thinkpad_acpi, asus-wmi, cros_charge-control,
// dell-laptop, huawei-wmi, lg-laptop, samsung-galaxybook, system76_acpi,
// macsmc-battery, …). The battery is the one discoverPowerSupplies() picks,
// so the limit lands on the pack the reading and charge_behaviour describe;
// it is looked up on the first read that finds one.
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
    // `<battery directory>/`, or empty when there is no system battery.
    QString batteryDirectory();
    std::optional<int> readPercent(const QString &attribute);
    int writePercent(const QString &attribute, int percent);

    QString m_sysRoot;
    SysfsFiles &m_files;
    QString m_batteryName;
    bool m_desktopCanHoldLimit = false;
    std::unique_ptr<QDBusPendingCallWatcher> m_desktopQuery;
};

// UPower's object path for a battery named `batteryName` in sysfs.
QString upowerBatteryPath(const QString &batteryName);
