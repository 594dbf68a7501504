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
    enum class ErrorLine {
        elided, // one line, the whole text as its tooltip (popover, dashboard)
        wrapped, // as many lines as it takes (preferences)
    };

    WeatherLines(WeatherStore &store, ErrorLine errorLine, QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh();
    void showError();

    WeatherStore &m_store;
    ErrorLine m_errorLine;
    QLabel *m_summary;
    QLabel *m_detail;
    QLabel *m_place;
    QLabel *m_error;
    QString m_errorText;
};
