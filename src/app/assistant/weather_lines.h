#pragma once

#include <QWidget>

class QLabel;
class WeatherStore;

// The weather store's values as panel text: the headline, then the detail,
// the place and the error. Follows the store's published fields.
class WeatherLines : public QWidget
{
    Q_OBJECT

public:
    enum class ErrorPlacement {
        replacesDetail, // one compact line says why (popover, dashboard)
        ownLine, // every value shown (preferences)
    };

    WeatherLines(WeatherStore &store, ErrorPlacement placement, QWidget *parent = nullptr);

private:
    void refresh();

    WeatherStore &m_store;
    ErrorPlacement m_placement;
    QLabel *m_summary;
    QLabel *m_detail;
    QLabel *m_place;
    QLabel *m_error;
};
