#pragma once

class QWindow;

// Asks the window manager to leave `window` off the taskbar and the pager: a
// panel that stands in for a popup is no window of its own to the user. Call
// just before each show (X11 window managers drop the hint when the window is
// withdrawn, and Qt keeps the states it finds when it maps the window).
// Nothing where the platform has no such hint.
void keepOffTaskbar(QWindow *window);
