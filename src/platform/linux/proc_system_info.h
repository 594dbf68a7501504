#pragma once

#include "platform/linux/sysfs_files.h"
#include "platform/system_info.h"

#include <QString>

#include <optional>

// Online CPUs of a cpulist such as "0-7,16" (ranges inclusive); absent when
// the text is not a cpulist.
std::optional<int> countCpuList(const QString &text);
// The first field of /proc/loadavg ("0.31 0.28 0.14 1/91 4717").
std::optional<double> parseLoadAverage1(QByteArrayView text);

// Kernel figures from /proc and /sys. The roots are injectable for tests.
class ProcSystemInfo final : public SystemInfo
{
public:
    explicit ProcSystemInfo(QString procRoot = QStringLiteral("/proc"),
                            QString sysDevicesRoot = QStringLiteral("/sys/devices"),
                            SysfsFiles &files = SysfsFiles::real());

    std::optional<double> loadAverage1() const override;
    int logicalCpuCount() const override;
    // Hybrid Intel CPUs list their P- and E-cores under cpu_core and cpu_atom.
    int performanceCpuCount() const override;
    int efficiencyCpuCount() const override;

private:
    int countListedCpus(const QString &relativePath) const;

    QString m_procRoot;
    QString m_sysDevicesRoot;
    SysfsFiles &m_files;
};
