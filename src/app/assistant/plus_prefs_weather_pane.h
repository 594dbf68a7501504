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

protected:
    // The first time any weather surface appears, the store starts.
    void showEvent(QShowEvent *event) override;

private:
    WeatherStore &m_store;
};
