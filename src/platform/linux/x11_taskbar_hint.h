#pragma once

class QWindow;

// Asks the X11 window manager to leave `window` off the taskbar and the
// pager: a panel that stands in for a popup is no window of its own to the
// user. Call once the native window exists and before it is first shown (Qt
// keeps the states it finds when it maps the window). Nothing when the app
// is not an X11 client.
void keepOffTaskbar(QWindow *window);
