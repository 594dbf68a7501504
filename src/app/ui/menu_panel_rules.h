#pragma once

#include "energy/proc_energy.h"

#include <QList>
#include <QString>

#include <optional>

// How the battery menu's model turns the live power state into the values it
// shows, and when a new value counts as a change worth a redraw.
namespace MenuPanelRules {

// Below these differences a value counts as unchanged.
inline constexpr double kWattsTolerance = 0.05; // W, package, charge and domain watts
inline constexpr double kSparkTolerance = 0.15; // W, per sparkline point
inline constexpr double kAppWattsTolerance = 0.12; // W, per listed app

inline constexpr int kSparkPoints = 40;
inline constexpr int kTopAppCount = 5;
// The power store appends one history sample per poll; its spacing on battery
// is about 6 s, which is what the label's span assumes.
inline constexpr int kSecondsPerHistorySample = 6;

// The value to publish for a package or charge watts reading: the unrounded
// reading when the reading rounded to 0.1 W lies 0.05 W or more from the
// shown value; none otherwise.
std::optional<double> roundedWattsUpdate(double shown, double reading);
// Whether a domain's watts moved by 0.05 W or more.
bool domainWattsMoved(double shown, double reading);

// Every step-th point from the first, step = count / 40 from 40 points up.
QList<double> thinSpark(const QList<double> &spark);
// Same length and every point within 0.15 W.
bool sameSpark(const QList<double> &shown, const QList<double> &next);
// "Mac power draw", "Mac power draw · last N min" or "… · last hour", from
// the number of samples in the store's watt history.
QString sparkLabel(qsizetype historyCount);

// The second line of the time row: the time text, or a word when there is no
// time to show.
QString timeDetail(bool batteryPresent, bool charging, bool onAC, int levelPercent, const QString &timeText,
                   const QString &statusText);
// "Power Adapter" or "Battery".
QString powerSourceWord(bool batteryPresent, bool charging, bool onAC);

// The first five entries.
QList<ProcEnergy> topApps(const QList<ProcEnergy> &top);
// Same length, same process at each position and watts within 0.12 W.
bool sameTopApps(const QList<ProcEnergy> &shown, const QList<ProcEnergy> &next);

} // namespace MenuPanelRules
