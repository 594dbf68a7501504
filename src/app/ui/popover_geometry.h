#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Size and place of the battery-menu popover, in logical pixels.
namespace PopoverGeometry {

inline constexpr int kPanelWidth = 300;
inline constexpr int kMinPanelHeight = 400;
inline constexpr int kMaxPanelHeight = 520;
// Room kept free above and below the panel on the screen.
inline constexpr int kScreenMargin = 100;
// Size changes up to this much re-use the built content.
inline constexpr int kRefitTolerance = 8;

// The screen's usable height − 100, clamped to 400…520; 520 without a screen.
int panelHeight(std::optional<QRect> availableGeometry);

// The panel's frame: centred under `anchor` (the click), flipped above it
// when there is no room below, and kept inside `available`.
QRect panelFrame(QPoint anchor, QSize size, QRect available);

// Whether a popover of `stored` size can be shown as `wanted` without
// rebuilding its content.
bool fitsWithoutRebuild(QSize stored, QSize wanted);

} // namespace PopoverGeometry
