#pragma once

#include <QWidget>

class WeatherStore;

// The weather in the popover and the dashboard: title, caption, the current
// conditions and a refresh button. Showing it starts the store, so the
// conditions are as fresh as the section's last appearance.
class PlusWeatherSection : public QWidget
{
    Q_OBJECT

public:
    explicit PlusWeatherSection(WeatherStore &store, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    WeatherStore &m_store;
};
