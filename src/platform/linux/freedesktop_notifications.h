#pragma once

#include "platform/notifications.h"

#include <QDBusConnection>

// org.freedesktop.Notifications on the session bus. Calls are asynchronous and
// their replies ignored, so a slow or missing notification server never holds
// up the caller.
class FreedesktopNotifications final : public Notifications
{
public:
    static constexpr auto kService = "org.freedesktop.Notifications";
    static constexpr auto kPath = "/org/freedesktop/Notifications";
    static constexpr auto kInterface = "org.freedesktop.Notifications";
    // Notify's hint that carries the notification's identifier; the protocol
    // has none of its own.
    static constexpr auto kIdentifierHint = "x-pendrapro-identifier";
    // The sound theme's name for an ordinary incoming message.
    static constexpr auto kDefaultSoundName = "message-new-instant";

    explicit FreedesktopNotifications(QDBusConnection connection);

    void requestPermission() override;
    void post(const LocalNotification &notification) override;

private:
    QDBusConnection m_connection;
};
