#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

#include <optional>

// Where the app's windows can be placed. Wayland compositors ignore the
// global positions the popover and the context menu are opened at, so on a
// Wayland session with XWayland the app runs as an X11 client instead.
namespace WaylandSession {

// "xcb" for QT_QPA_PLATFORM when the session is Wayland (XDG_SESSION_TYPE is
// "wayland" or WAYLAND_DISPLAY is set), DISPLAY names an XWayland server and
// the user did not choose a platform; nothing otherwise. Apply before the
// QApplication exists.
std::optional<QByteArray> platformOverrideForSession(const QProcessEnvironment &env);

// True when the popover cannot be placed next to the item and must open as a
// normal small window centred on the screen: the app runs as a Wayland client
// (a Wayland session without DISPLAY, or the user chose a "wayland" platform).
bool popoverOpensAsWindow(const QProcessEnvironment &env);

// True when the app runs on a Wayland session through XWayland (after the
// override above, or by the user's choice of "xcb"). The compositor gives the
// keyboard only to windows it manages, never to an X11 popup, so the popover
// is a frameless tool window that is activated when shown and closes when
// another window takes the focus.
bool popoverIsFocusedToolWindow(const QProcessEnvironment &env);

} // namespace WaylandSession
