#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The application's own notification names. Posted with no payload; each
// observer runs on the main thread.
namespace AppNotification {
inline const QString rebuildStatusItem = QStringLiteral("pendrapro.rebuildStatusItem");
inline const QString openDashboard = QStringLiteral("pendrapro.openDashboard");
inline const QString openPreferences = QStringLiteral("pendrapro.openPreferences");
inline const QString menuBarDisplayChanged = QStringLiteral("pendrapro.menuBarDisplayChanged");
inline const QString dashboardPrefsChanged = QStringLiteral("pendrapro.dashboardPrefsChanged");
inline const QString closeDashboard = QStringLiteral("pendrapro.closeDashboard");
inline const QString closePopover = QStringLiteral("pendrapro.closePopover");
} // namespace AppNotification

// In-process broadcast of the names above. An observer is tied to a context
// object: once the context is destroyed its handler is never called again,
// which is how observers hold their owner weakly.
class NotificationCenter : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;


    // Delivers to every observer of `name`. Posting from another thread
    // delivers on each context's thread.
    void post(const QString &name);

    // Calls `handler` each time `name` is posted, until `context` is destroyed.
    QMetaObject::Connection observe(const QString &name, QObject *context, std::function<void()> handler);

signals:
    void posted(const QString &name);
};
