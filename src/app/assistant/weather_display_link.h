#pragma once

class NotificationCenter;
class WeatherStore;

// After every successful weather update, posts the display-changed
// notification so that the status item's title and other weather surfaces
// redraw at once. Lasts as long as both objects.
void postDisplayChangesOnWeatherUpdates(WeatherStore &store, NotificationCenter &center);
