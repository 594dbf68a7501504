#pragma once

#include "platform/notifications.h"

#include <QList>

// Counts permission requests and keeps what was posted.
class RecordingNotifications final : public Notifications
{
public:
    void requestPermission() override { ++permissionRequests; }
    void post(const LocalNotification &notification) override { posted.append(notification); }

    int permissionRequests = 0;
    QList<LocalNotification> posted;
};
