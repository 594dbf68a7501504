#pragma once

#include "history/history_records.h"

#include <QJsonObject>
#include <QString>

// The two history tables as the dashboard shows them, the CSV export writes
// them and the probe prints them. Numbers use "." in every locale.
namespace HistoryTables {

// "1.3 Wh"; two decimals below 1 Wh.
QString wattHoursText(double wattHours);
// The app's share of the battery energy, "23%"; "—" when none was recorded.
QString shareText(double wattHours, double batteryWattHours);
// 0…1, for the bar; 0 when no battery energy was recorded.
double share(double wattHours, double batteryWattHours);

// "app,wh,share_percent,cpu_seconds" then one line per app.
QString appsCsv(const AppEnergyReport &report);
// "day,health_percent,cycles" then one line per day.
QString healthCsv(const QList<HealthPoint> &points);
// Both, with an empty line between.
QString csv(const AppEnergyReport &report, const QList<HealthPoint> &points);

// Aligned text for a terminal, and the same as JSON.
QString text(const AppEnergyReport &report, const QList<HealthPoint> &points);
QJsonObject json(const AppEnergyReport &report, const QList<HealthPoint> &points);

} // namespace HistoryTables
