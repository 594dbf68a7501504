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

// What the popover must never cover when the host does not say where the
// item is: hosts report the pointer or the icon's centre, and icons are at
// most 32 px, so the item lies within this box around the click.
QRect itemReach(QPoint click);

// Where the item is taken to be when the host gave no click position (GNOME
// opens its own menu on a click, and the popover comes from there): just
// beyond the edge of `available` nearest `pointer`, where the panel lies.
QPoint panelSideOf(QPoint pointer, QRect available);

// The popover's frame beside `keepClear` (the panel holding the clicked item,
// else the item's reach), on the side facing the middle of `available` (the
// usable area of the click's screen), touching it and centred on `click`
// along it, kept inside `available`. A wide `keepClear` is a top or bottom
// panel, a tall one a side panel. A click outside `available` (a panel the
// window manager keeps out of it) opens at that edge of the usable area.
QRect panelFrame(QPoint click, QSize size, QRect available, QRect keepClear);

// Whether a popover of `stored` size can be shown as `wanted` without
// rebuilding its content.
bool fitsWithoutRebuild(QSize stored, QSize wanted);

} // namespace PopoverGeometry
