#include "platform/linux/freedesktop_notifications.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

namespace {

const QString kApplicationName = QStringLiteral("Pendra Pro");
// GNOME and KDE attribute a notification to the app whose desktop entry the
// hint names, and honour that app's notification switches.
const QString kDesktopEntry = QStringLiteral("com.marblewickhq.pendrapro");
// Let the server choose how long the notification stays.
constexpr int kServerDefaultTimeout = -1;

QDBusMessage methodCall(const char *method)
{
    return QDBusMessage::createMethodCall(QLatin1String(FreedesktopNotifications::kService),
                                          QLatin1String(FreedesktopNotifications::kPath),
                                          QLatin1String(FreedesktopNotifications::kInterface),
                                          QLatin1String(method));
}

} // namespace

FreedesktopNotifications::FreedesktopNotifications(QDBusConnection connection)
    : m_connection(std::move(connection))
{
}

void FreedesktopNotifications::requestPermission()
{
    // Desktop notifications need no grant; asking for the server's
    // capabilities starts it (D-Bus activation) if it is not running yet.
    m_connection.asyncCall(methodCall("GetCapabilities"));
}

void FreedesktopNotifications::post(const LocalNotification &notification)
{
    QVariantMap hints;
    hints.insert(QLatin1String(kIdentifierHint), notification.identifier);
    hints.insert(QStringLiteral("desktop-entry"), kDesktopEntry);
    if (notification.defaultSound)
        hints.insert(QStringLiteral("sound-name"), QLatin1String(kDefaultSoundName));

    QDBusMessage message = methodCall("Notify");
    message << kApplicationName << 0u /* replaces_id: a new notification */ << kDesktopEntry /* app_icon */
            << notification.title << notification.body << QStringList() /* actions */ << hints
            << kServerDefaultTimeout;
    m_connection.asyncCall(message);
}

