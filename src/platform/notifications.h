#pragma once

#include <QString>

// A notification shown to the user now.
struct LocalNotification
{
    QString identifier; // stable id of this notification, e.g. "pendrapro.drain.1733480000"
    QString title;
    QString body;
    bool defaultSound = true; // play the desktop's usual notification sound

    bool operator==(const LocalNotification &) const = default;
};

// The desktop's notification service. Both calls return at once and never
// report an outcome; they are made on the main thread.
class Notifications
{
public:
    virtual ~Notifications() = default;

    // Asks to be allowed to show alerts with sound. Where the desktop grants
    // that without asking, this only checks that a service answers.
    virtual void requestPermission() = 0;
    // Shows the notification if the desktop allows it.
    virtual void post(const LocalNotification &notification) = 0;

};
