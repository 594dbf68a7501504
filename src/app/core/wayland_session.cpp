#include "app/core/wayland_session.h"

namespace WaylandSession {

namespace {

bool isWaylandSession(const QProcessEnvironment &env)
{
    return env.value(QStringLiteral("XDG_SESSION_TYPE")) == QStringLiteral("wayland")
           || !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}

// The platform the user asked Qt for; empty when unset.
QString chosenPlatform(const QProcessEnvironment &env)
{
    return env.value(QStringLiteral("QT_QPA_PLATFORM")).trimmed();
}

} // namespace

std::optional<QByteArray> platformOverrideForSession(const QProcessEnvironment &env)
{
    if (isWaylandSession(env) && !env.value(QStringLiteral("DISPLAY")).isEmpty() && chosenPlatform(env).isEmpty())
        return QByteArray("xcb");
    return std::nullopt;
}

bool popoverOpensAsWindow(const QProcessEnvironment &env)
{
    const QString chosen = chosenPlatform(env);
    // "wayland;xcb" tries Wayland first, which succeeds on a Wayland session.
    if (!chosen.isEmpty())
        return chosen.startsWith(QStringLiteral("wayland")) && isWaylandSession(env);
    return isWaylandSession(env) && env.value(QStringLiteral("DISPLAY")).isEmpty();
}

bool popoverIsFocusedToolWindow(const QProcessEnvironment &env)
{
    if (!isWaylandSession(env) || env.value(QStringLiteral("DISPLAY")).isEmpty())
        return false;
    const QString chosen = chosenPlatform(env);
    return chosen.isEmpty() || chosen.startsWith(QStringLiteral("xcb"));
}

} // namespace WaylandSession
