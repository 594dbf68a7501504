#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One of several packs that make up the machine's battery.
struct BatteryPack
{
    QString name; // "Internal", "External", or the system's name for it ("BAT1")
    std::optional<int> level; // percent 0–100
    std::optional<int> health; // full-charge capacity as percent of design, 0–100
    std::optional<int> cycles;

    bool operator==(const BatteryPack &) const = default;
};

// What one battery source could tell. Every field but `name` is optional:
// absent means this source does not know the value.
struct BatSourceReading
{
    QString name; // "IOPS", "SmartBattery", "Gauge", "Telemetry", "pmset" or "ioreg"
    std::optional<bool> present;
    std::optional<int> level; // percent 0–100
    std::optional<bool> charging;
    std::optional<bool> onAC;
    std::optional<double> chargeW; // W, magnitude of charge or discharge power, never negative
    std::optional<double> adapterW; // W, adapter rating
    std::optional<int> minutes; // to empty on battery, to full while charging; 1–65534
    std::optional<int> cycles;
    std::optional<int> health; // full-charge capacity as percent of design, 0–100
    std::optional<int> rawMax; // mAh, full-charge capacity
    std::optional<int> design; // mAh, design capacity
    std::optional<int> rawCurrent; // mAh, present charge
    std::optional<int> amperageMA; // mA, negative while discharging
    std::optional<int> voltageMV; // mV, pack voltage
    QList<BatteryPack> packs; // each pack when the battery is several; the other fields describe them all

    bool operator==(const BatSourceReading &) const = default;
};

// The merged battery state the rest of the system sees.
struct BatSnap
{
    bool present = false;
    int level = 0; // 0–100; 0 when nothing knew
    bool charging = false;
    bool onAC = false; // always true while charging
    double chargeW = 0; // W, magnitude; 0 when unknown
    double adapterW = 0; // W; 0 when unknown
    std::optional<int> minutes; // after plausibility limits
    bool minutesIsLiveEstimate = false;
    std::optional<int> cycles;
    std::optional<int> health;
    std::optional<int> rawMax;
    std::optional<int> design;
    std::optional<int> rawCurrent;
    std::optional<int> amperageMA;
    std::optional<int> voltageMV;
    QList<BatteryPack> packs; // empty with a single pack
    QString sourcesLabel;
    QStringList sourceNames;

    bool operator==(const BatSnap &) const = default;
};

// A valid time estimate lies within 1–65534 minutes; 0 and 65535 or more mean
// "no estimate".
inline bool isValidMinutes(long long minutes)
{
    return minutes >= 1 && minutes <= 65534;
}
