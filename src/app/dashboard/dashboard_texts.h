#pragma once

#include "energy/proc_energy.h"
#include "energy/why_drain.h"

#include <QList>
#include <QString>

#include <optional>

// What the dashboard's header and sections say, from the live state. Pure.
namespace DashboardTexts {

inline const QString kTitle = QStringLiteral("Pendra — Battery");
inline const QString kPillBrand = QStringLiteral("PENDRA");
inline const QString kRunningOnAdapter = QStringLiteral("Running on power adapter");
inline const QString kSteady = QStringLiteral("steady");
inline const QString kNotEnoughHistory = QStringLiteral("Not enough local history");
inline const QString kCalculating = QStringLiteral("Calculating…");

// A level above this many points in the last hour counts as draining fast.
inline constexpr int kFastDrainPoints = 4;

enum class ChipKind { drainingFast, charging, neutral };

struct Chip
{
    QString text;
    ChipKind kind;

    bool operator==(const Chip &) const = default;
};

// "Desktop", "Charging", "Draining fast" (more than 4 points dropped),
// "On battery", "Full" (above 99 %) or "Plugged in".
Chip statusChip(bool batteryPresent, bool charging, bool onAC, int levelPercent, int dropPercent);

// "Running on power adapter" without a battery; "Estimating time left…" on
// battery or while charging when the store has no estimate yet; otherwise
// the store's time text.
QString timeHeadline(bool batteryPresent, bool charging, bool onAC, const QString &timeText,
                     std::optional<int> remainingMinutes);

// The level and "%" with a battery; the status item's "AC" without.
QString percentText(bool batteryPresent, int levelPercent);

// "Package 7.4 W · Battery".
QString packageLine(double packageWatts, const QString &powerSource);

// "%.1f W".
QString watts(double watts);

// The leading app's name and power label, or "Nothing heavy running right
// now".
QString appsSummary(const QList<ProcEnergy> &top);
// The app's share of the attributed power, "%.0f%%".
QString shareText(const ProcEnergy &process);

// "steady" when nothing dropped, else the drop row's value.
QString whySummary(const WhyDrain &why);
// "6% · last hour".
QString dropText(const WhyDrain &why);
// The analysis could not answer for want of history.
bool lacksHistory(const WhyDrain &why);
// The culprits the details list: at most five.
QList<DrainCulprit> listedCulprits(const WhyDrain &why);

} // namespace DashboardTexts
