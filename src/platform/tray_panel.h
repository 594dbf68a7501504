#pragma once

#include <QRect>

#include <optional>

// How dark the panel behind the tray icons really is, as the display server
// shows it. The desktop's colour scheme is only a proxy: a tinted or themed
// panel can be dark on a light desktop and the other way round.
class TrayPanelProbe
{
public:
    virtual ~TrayPanelProbe() = default;

    // From the tray's own foreground colour when it publishes one, else from
    // the typical lightness of the panel around `icon` (global pixels; empty
    // when the icon's place is unknown), else of the panel: the dock window
    // shown by `hostProcess` (0: unknown) or the largest one. Empty when none
    // of these can be read.
    virtual std::optional<bool> panelIsDark(const QRect &icon, uint hostProcess) = 0;
    // The frame of the panel window that holds `point` (global pixels);
    // empty where the display server does not show panels to clients.
    virtual std::optional<QRect> panelHolding(const QPoint &point) = 0;
};
