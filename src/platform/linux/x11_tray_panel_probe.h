#pragma once

#include "platform/tray_panel.h"

#include <QByteArray>

#include <memory>

struct xcb_connection_t;

// Asks the X server: the XEmbed tray's _NET_SYSTEM_TRAY_COLORS hint (set by
// trays that theme their icons, such as XFCE's panel), else the median
// lightness of the panel window's pixels around the icon, else of the host
// process's dock window or the largest dock on screen (a StatusNotifier host
// never says where the icon is); and which dock window holds a point. Opens
// its own short connection per question, so it works whatever Qt's platform
// is and holds nothing between the rare questions.
class X11TrayPanelProbe final : public TrayPanelProbe
{
public:
    // `display` as in $DISPLAY; empty: no X server, never an answer.
    explicit X11TrayPanelProbe(QByteArray display);

    std::optional<bool> panelIsDark(const QRect &icon, uint hostProcess) override;
    std::optional<QRect> panelHolding(const QPoint &point) override;

private:
    using Connection = std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)>;
    // A fresh connection (null without an X server); `screen` becomes its
    // default screen's number.
    Connection connect(int &screen) const;

    QByteArray m_display;
};
