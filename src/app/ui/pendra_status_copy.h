#pragma once

#include "energy/proc_energy.h"

#include <QList>
#include <QString>

class PowerStore;
class ProcessEnergyStore;

// The product's short status texts, composed from the live state. Pure.
namespace PendraStatusCopy {

inline const QString kMacPowerDraw = QStringLiteral("Mac power draw");
inline const QString kWhatsUsingPower = QStringLiteral("What’s using power");
inline const QString kWhyDidBatteryDrop = QStringLiteral("Why did battery drop?");
inline const QString kNothingHeavy = QStringLiteral("Nothing heavy running right now");
inline const QString kEstimatingTimeLeft = QStringLiteral("Estimating time left…");
inline const QString kDoubleClickHint = QStringLiteral("Double-click the menu bar icon for the full window");
inline const QString kLocalOnly = QStringLiteral("Local only · no telemetry · Pendra Pro");
inline const QString kClickHint = QStringLiteral("Click: menu · Double-click: full window");
inline const QString kOpenPendraPro = QStringLiteral("Open Pendra Pro");
inline const QString kAirVsPro = QStringLiteral("Air vs Pro on the web");
inline const QString kKeepOpenToLearn =
    QStringLiteral("Keep Pendra Pro open for about 15 minutes so it can learn your drain pattern.");

// "Desktop · AC only", or the source ("Charging", "On Battery", "Fully
// Charged", "On Adapter") with " · package " and the package watts.
QString powerSourceLine(bool batteryPresent, bool charging, bool onAC, int levelPercent, double packageWatts);
QString powerSourceLine(const PowerStore &store);

// The leading app's name and power label, or "None".
QString topAppLine(const QList<ProcEnergy> &top);
QString topAppLine(const ProcessEnergyStore &store);

// Watts from 0.08 W up ("12 W", "3.4 W", "0.25 W"), otherwise a word for the
// CPU use ("High", "Moderate", "Low").
QString powerLabel(double cpuPercent, double estimatedWatts);

// The activity word alone, by CPU percent of one core.
QString cpuWord(double cpuPercent);

QString lowPowerLine(bool lowPowerOn);

// Removes, ignoring case, the first occurrence of each of " remaining",
// " remaining.", " until full" and " left", in that order.
QString stripTimeSuffix(const QString &timeText);

} // namespace PendraStatusCopy
