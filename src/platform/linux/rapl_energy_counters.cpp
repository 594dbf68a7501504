#include "platform/linux/rapl_energy_counters.h"

#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace {

const QString kGroup = QStringLiteral("Energy Model");
const QString kUnit = QStringLiteral("uJ");

} // namespace

std::uint64_t raplCounterDelta(std::uint64_t previous, std::uint64_t current,
                               std::optional<std::uint64_t> maxRange)
{
    if (current >= previous)
        return current - previous;
    if (maxRange && *maxRange >= previous)
        return *maxRange - previous + current;
    return 0;
}


RaplEnergyCounters::RaplEnergyCounters(QString powercapRoot, SysfsFiles &files)
    : m_root(std::move(powercapRoot))
    , m_files(files)
{
}

std::optional<std::uint64_t> RaplEnergyCounters::readCounter(const QString &path) const
{
    const std::optional<QByteArray> text = m_files.read(path);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const qulonglong value = text->trimmed().toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

int RaplEnergyCounters::addZone(const QString &path)
{
    m_zones.push_back({path, readCounter(path + QStringLiteral("/max_energy_range_uj"))});
    return static_cast<int>(m_zones.size()) - 1;
}

void RaplEnergyCounters::discover()
{
    m_discovered = true;
    // "intel-rapl:0" is a package, "intel-rapl:0:1" a subzone of it; the
    // "intel-rapl-mmio" zones repeat the package counters and are skipped.
    static const QRegularExpression zonePattern(QStringLiteral("^intel-rapl:([0-9a-fA-F]+)(?::([0-9a-fA-F]+))?$"));
    struct Found
    {
        QString path;
        QString name;
    };
    std::map<uint, std::map<int, Found>> packages; // package → subzone (−1 = package itself)
    for (const QString &entry : m_files.list(m_root)) {
        const QRegularExpressionMatch match = zonePattern.match(entry);
        if (!match.hasMatch())
            continue;
        const QString path = m_root + u'/' + entry;
        // A zone whose counter cannot be read (permissions) does not exist for us.
        if (!readCounter(path + QStringLiteral("/energy_uj")))
            continue;
        const std::optional<QByteArray> name = m_files.read(path + QStringLiteral("/name"));
        if (!name)
            continue;
        const uint package = match.captured(1).toUInt(nullptr, 16);
        const int sub = match.captured(2).isEmpty() ? -1 : static_cast<int>(match.captured(2).toUInt(nullptr, 16));
        packages[package][sub] = {path, QString::fromUtf8(name->trimmed())};
    }

    for (const auto &[package, zones] : packages) {
        Q_UNUSED(package);
        const auto top = zones.find(-1);
        if (top == zones.end())
            continue;
        const QString &topName = top->second.name;
        if (topName == QLatin1String("dram")) {
            m_channels.push_back({{kGroup, QStringLiteral("DRAM Energy"), kUnit}, addZone(top->second.path)});
            continue;
        }
        if (!topName.startsWith(QLatin1String("package")))
            continue;
        const int packageZone = addZone(top->second.path);
        int uncoreZone = -1;
        for (const auto &[sub, found] : zones) {
            if (sub >= 0 && found.name == QLatin1String("uncore"))
                uncoreZone = addZone(found.path);
        }
        m_channels.push_back({{kGroup, QStringLiteral("CPU Energy"), kUnit}, packageZone, uncoreZone});
        if (uncoreZone >= 0)
            m_channels.push_back({{kGroup, QStringLiteral("GPU Energy"), kUnit}, uncoreZone});
        for (const auto &[sub, found] : zones) {
            if (sub >= 0 && found.name == QLatin1String("dram"))
                m_channels.push_back({{kGroup, QStringLiteral("DRAM Energy"), kUnit}, addZone(found.path)});
        }
    }
}

std::optional<QList<EnergyChannel>> RaplEnergyCounters::catalogue()
{
    if (!m_discovered)
        discover();
    if (m_channels.empty())
        return std::nullopt;
    QList<EnergyChannel> channels;
    for (const Channel &channel : m_channels)
        channels.append(channel.meta);
    return channels;
}

bool RaplEnergyCounters::subscribe(const std::vector<int> &channelIndices)
{
    if (!m_discovered)
        discover();
    for (int index : channelIndices) {
        if (index < 0 || index >= static_cast<int>(m_channels.size()))
            return false;
    }
    m_subscribed = channelIndices;
    return !m_subscribed.empty();
}

std::optional<EnergySample> RaplEnergyCounters::sample()
{
    if (m_subscribed.empty())
        return std::nullopt;
    EnergySample sample;
    sample.counters.reserve(m_zones.size());
    for (const Zone &zone : m_zones) {
        const std::optional<std::uint64_t> value = readCounter(zone.path + QStringLiteral("/energy_uj"));
        if (!value)
            return std::nullopt;
        sample.counters.push_back(*value);
    }
    return sample;
}

std::optional<std::vector<std::int64_t>> RaplEnergyCounters::delta(const EnergySample &previous,
                                                                   const EnergySample &current)
{
    if (previous.counters.size() != m_zones.size() || current.counters.size() != m_zones.size())
        return std::nullopt;
    auto zoneDelta = [&](int zone) {
        return raplCounterDelta(previous.counters[zone], current.counters[zone], m_zones[zone].maxRange);
    };
    std::vector<std::int64_t> energies;
    energies.reserve(m_subscribed.size());
    for (int index : m_subscribed) {
        const Channel &channel = m_channels[index];
        std::uint64_t energy = zoneDelta(channel.zone);
        // Package and uncore are read a moment apart; never let the
        // difference go below zero.
        if (channel.minusZone >= 0)
            energy -= std::min(energy, zoneDelta(channel.minusZone));
        energies.push_back(static_cast<std::int64_t>(std::min<std::uint64_t>(energy, INT64_MAX)));
    }
    return energies;
}
