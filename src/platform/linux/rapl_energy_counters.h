#pragma once

#include "platform/energy_counters.h"
#include "platform/linux/sysfs_files.h"

#include <QString>

// The difference between two readings of a cumulative counter that wraps to 0
// after `maxRange`. Without a known range a counter that went backwards (a
// reset, a firmware hiccup) counts as 0 rather than as an enormous value.
std::uint64_t raplCounterDelta(std::uint64_t previous, std::uint64_t current,
                               std::optional<std::uint64_t> maxRange);

// Energy counters from the kernel's powercap RAPL zones
// (/sys/class/powercap/intel-rapl:<pkg>[:<sub>], indices in hex; AMD
// processors use the same driver and names). Each package becomes "CPU
// Energy" (package minus uncore), "GPU Energy" (the uncore subzone, the
// integrated graphics) and "DRAM Energy", all in µJ in group "Energy Model".
// The platform zone "psys" overlaps every other zone and is left out.
class RaplEnergyCounters final : public EnergyCounters
{
public:
    // energy_uj is readable by root only on many kernels: a zone whose
    // counter `files` cannot read does not exist for us.
    explicit RaplEnergyCounters(QString powercapRoot = QStringLiteral("/sys/class/powercap"),
                                SysfsFiles &files = SysfsFiles::real());

    std::optional<QList<EnergyChannel>> catalogue() override;
    bool subscribe(const std::vector<int> &channelIndices) override;
    std::optional<EnergySample> sample() override;
    std::optional<std::vector<std::int64_t>> delta(const EnergySample &previous,
                                                   const EnergySample &current) override;

private:
    struct Zone
    {
        QString path;
        std::optional<std::uint64_t> maxRange; // µJ
    };
    struct Channel
    {
        EnergyChannel meta;
        int zone;
        int minusZone = -1; // subtracted from `zone`, or −1
    };

    void discover();
    std::optional<std::uint64_t> readCounter(const QString &path) const;
    int addZone(const QString &path);

    QString m_root;
    SysfsFiles &m_files;
    bool m_discovered = false;
    std::vector<Zone> m_zones;
    std::vector<Channel> m_channels;
    std::vector<int> m_subscribed;
};
