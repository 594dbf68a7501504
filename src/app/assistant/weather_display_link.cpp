#include "app/assistant/weather_display_link.h"

#include "app/core/notification_center.h"
#include "assistant/weather_store.h"

void postDisplayChangesOnWeatherUpdates(WeatherStore &store, NotificationCenter &center)
{
    QObject::connect(&store, &WeatherStore::weatherUpdated, &center,
                     [&center] { center.post(AppNotification::menuBarDisplayChanged); });
}
