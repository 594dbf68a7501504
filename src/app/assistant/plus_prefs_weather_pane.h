#pragma once

#include <QWidget>

class WeatherStore;

// The preferences window's weather pane: title, caption, every value of the
// store and the "Refresh weather" button.
class PlusPrefsWeatherPane : public QWidget
{
    Q_OBJECT

public:
    explicit PlusPrefsWeatherPane(WeatherStore &store, QWidget *parent = nullptr);
};
