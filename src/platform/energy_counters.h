#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// One energy channel of the catalogue, as the hardware names it.
struct EnergyChannel
{
    QString group; // e.g. "Energy Model"
    QString name; // e.g. "CPU Energy"
    QString unit; // unit of the counter differences: "mJ", "uJ", "nJ", "J"; may be empty

    bool operator==(const EnergyChannel &) const = default;
};

// A raw sample: the cumulative counters behind the subscribed channels. Only
// the backend that took it knows how to read it; it is opaque to everyone else.
struct EnergySample
{
    std::vector<std::uint64_t> counters;
};

// The kernel's cumulative energy counters. Used from one thread at a time
// (the SoC power reader's queue).
class EnergyCounters
{
public:
    virtual ~EnergyCounters() = default;

    // Every channel the machine reports, in a stable order; absent when the
    // machine has no energy counters at all.
    virtual std::optional<QList<EnergyChannel>> catalogue() = 0;
    // Selects the channels (indices into the catalogue, in this order) that
    // samples and deltas cover. False when the subscription cannot be made.
    virtual bool subscribe(const std::vector<int> &channelIndices) = 0;
    // Reads the cumulative counters of the subscribed channels now; absent when
    // reading fails.
    virtual std::optional<EnergySample> sample() = 0;
    // The energy of each subscribed channel between two samples, in the
    // channel's unit and subscription order; absent when the samples cannot be
    // compared.
    virtual std::optional<std::vector<std::int64_t>> delta(const EnergySample &previous,
                                                           const EnergySample &current) = 0;

};
