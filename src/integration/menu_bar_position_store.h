#pragma once

#include <QString>

#include <functional>

class Defaults;
class StatusItem;

// Where the user wants the status item among the others, as a fraction from
// 0 (leftmost) to 1, and the preferred pixel position derived from it.
//
// Status-notifier hosts (GNOME's AppIndicator extension, KDE, XFCE) place
// items themselves and offer no way to ask for a position, so on Linux the
// value is kept in the app's settings, where a host that learns to read it
// would find it, and the rebuild re-registers the item with the host.
namespace MenuBarPositionStore {

inline const QString kPositionKey = QStringLiteral("pendrapro.menuBarPosition");
inline const QString kAutosaveName = QStringLiteral("PendraProBattery");
inline const QString kPreferredPositionKey = QStringLiteral("NSStatusItem Preferred Position");
inline const QString kItemPreferredPositionKey = QStringLiteral("NSStatusItem Preferred Position PendraProBattery");
inline constexpr double kDefaultPosition = 0.15;

// The stored fraction clamped to 0…1, 0.15 when never set.
double position(const Defaults &defaults);
// position × 420 + 80: 80 px at 0, 500 px at 1.
double pixelPosition(const Defaults &defaults);
// Stores `fraction` clamped to 0…1, applies it and then asks for the status
// item to be rebuilt, even when the value did not change.
void setPosition(Defaults &defaults, double fraction, const std::function<void()> &rebuildStatusItem);
// Writes the preferred pixel position under both of the app's keys.
void applyPosition(Defaults &defaults);
// Names the freshly created item so a host may remember its place, then
// applies the position.
void configure(StatusItem &item, Defaults &defaults);

} // namespace MenuBarPositionStore
