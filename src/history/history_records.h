#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// One app's use of the battery within one hour.
struct AppHourEnergy
{
    qint64 hourStart = 0; // Unix seconds at the start of the hour (UTC)
    QString app; // the name the battery menu shows, or "Other"
    double wattHours = 0; // Wh, estimated
    double cpuSeconds = 0; // s of one core

    bool operator==(const AppHourEnergy &) const = default;
};

// What one day added to the battery's record. Capacities and cycles are the
// day's last readings; the rest are sums or extremes over the day.
struct BatteryDay
{
    QDate day; // local date
    std::optional<int> fullChargeMah;
    std::optional<int> designMah;
    std::optional<int> cycles;
    std::optional<double> minTemperatureC;
    std::optional<double> maxTemperatureC;
    double minutesOnBattery = 0;
    double drawnWattHours = 0; // Wh taken from the battery
    int chargeSessions = 0; // times charging began

    // Full-charge capacity as percent of design; none when either is unknown.
    std::optional<double> healthPercent() const;

    bool operator==(const BatteryDay &) const = default;
};

// Rows written in one transaction: amounts in `apps` and the sums of `days`
// are added to what is stored.
struct HistoryBatch
{
    QList<AppHourEnergy> apps;
    QList<BatteryDay> days;

    bool isEmpty() const { return apps.isEmpty() && days.isEmpty(); }
};

// One app's total over a span, as the dashboard and the probe list it.
struct AppEnergyTotal
{
    QString app;
    double wattHours = 0; // Wh
    double cpuSeconds = 0; // s

    bool operator==(const AppEnergyTotal &) const = default;
};

// The ranked apps of a span and the battery energy of the same days.
struct AppEnergyReport
{
    QList<AppEnergyTotal> apps; // by energy, largest first; "Other" last
    double batteryWattHours = 0; // Wh drawn from the battery over the span's days

    bool operator==(const AppEnergyReport &) const = default;
};

// One recorded day of the battery's health.
struct HealthPoint
{
    QDate day;
    double healthPercent = 0; // full-charge capacity as percent of design
    std::optional<int> cycles;

    bool operator==(const HealthPoint &) const = default;
};

inline const QString kOtherApps = QStringLiteral("Other");
