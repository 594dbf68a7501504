#pragma once

#include <QList>
#include <QString>

// One ranked process with its share of the machine's power draw.
struct ProcEnergy
{
    int id = 0; // process id
    QString name; // short name, or "pid <id>" when unreadable
    QString path; // executable path; empty outside fast mode or when unknown
    double energyScore = 0; // ranking score; what the drain log records
    double cpuPercent = 0; // percent of one core (cores × 100)
    double powerShare = 0; // 0…1 of the attributed power
    double estimatedWatts = 0; // W, smoothed
    QList<double> samples; // the last 30 smoothed watt values, oldest first

    bool operator==(const ProcEnergy &) const = default;
};

// How the estimate is explained to the user.
QString processEnergyEstimateDescription();

// The value shown beside a process: watts when at least 0.08 W, otherwise a
// word for its CPU use.
QString wattsLabel(const ProcEnergy &process);
