#include "app/core/notification_center.h"


void NotificationCenter::post(const QString &name)
{
    emit posted(name);
}

QMetaObject::Connection NotificationCenter::observe(const QString &name, QObject *context,
                                                    std::function<void()> handler)
{
    return connect(this, &NotificationCenter::posted, context,
                   [name, handler = std::move(handler)](const QString &postedName) {
                       if (postedName == name)
                           handler();
                   });
}
