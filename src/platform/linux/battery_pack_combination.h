#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// One system battery in energy units. Packs that count in charge units are
// converted by the caller exactly as a single pack's capacities are.
struct PackEnergy
{
    QByteArray status; // the kernel's: "Charging", "Discharging", "Full", "Not charging", "Unknown"
    double energyWh = 0; // present energy
    double fullWh = 0; // energy at the last full charge
    double designWh = 0; // energy when new; 0 when unknown
    double rateW = 0; // magnitude of the power flowing in or out; 0 when idle or unknown

    bool operator==(const PackEnergy &) const = default;
};

// The machine's battery made of all its packs, the way the desktop's power
// service presents it: energies add up, the level is their ratio, and the
// state is the direction any pack is going.
struct CombinedEnergy
{
    QByteArray status; // "Charging" if any pack charges, else "Discharging" if any discharges,
                       // "Full" when all are, "Not charging" when any is held, else "Unknown"
    double energyWh = 0;
    double fullWh = 0;
    double designWh = 0;
    double rateW = 0; // sum of the rates of the packs going the machine's way
    std::optional<double> levelPercent; // absent without a full-charge energy
    std::optional<double> minutes; // to empty while discharging, to full while charging

    bool operator==(const CombinedEnergy &) const = default;
};

CombinedEnergy combinePacks(const QList<PackEnergy> &packs);
