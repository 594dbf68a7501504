#pragma once

#include "assistant/weather_texts.h"
#include "platform/location.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

class Clock;
class QNetworkAccessManager;

// The local current conditions. Asks the location manager for one coarse
// fix, fetches the conditions for it from Open-Meteo and names the place by
// reverse geocoding. There is no timer: new data comes from `start`,
// `refresh` or an authorisation change, and nothing runs until a surface
// that shows the weather starts the store. Values from an earlier success stay
// after a later failure; only `summary` and `error` change then. Main thread
// only; nothing here waits for the network or the location service.
class WeatherStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString summary READ summary NOTIFY summaryChanged)
    Q_PROPERTY(QString detail READ detail NOTIFY detailChanged)
    Q_PROPERTY(std::optional<double> tempC READ tempC NOTIFY tempCChanged)
    Q_PROPERTY(std::optional<int> humidity READ humidity NOTIFY humidityChanged)
    Q_PROPERTY(std::optional<double> windKmh READ windKmh NOTIFY windKmhChanged)
    Q_PROPERTY(std::optional<int> code READ code NOTIFY codeChanged)
    Q_PROPERTY(QString place READ place NOTIFY placeChanged)
    Q_PROPERTY(std::optional<QString> error READ error NOTIFY errorChanged)
    Q_PROPERTY(std::optional<double> lastUpdated READ lastUpdated NOTIFY lastUpdatedChanged)

public:
    // A forecast request that has not finished by then is abandoned.
    static constexpr std::chrono::milliseconds kRequestTimeout{12'000};

    // `forecastBaseUrl` is the Open-Meteo server root.
    WeatherStore(LocationManager &manager, ReverseGeocoder &geocoder, QNetworkAccessManager &network, Clock &clock,
                 QUrl forecastBaseUrl, std::chrono::milliseconds requestTimeout = kRequestTimeout,
                 QObject *parent = nullptr);

    const QString &summary() const { return m_summary; } // headline, or a state text
    const QString &detail() const { return m_detail; } // humidity and wind, or a hint
    std::optional<double> tempC() const { return m_reading.tempC; } // °C
    std::optional<int> humidity() const { return m_reading.humidity; } // percent
    std::optional<double> windKmh() const { return m_reading.windKmh; } // km/h
    std::optional<int> code() const { return m_reading.code; } // WMO
    const QString &place() const { return m_place; } // "Locality, Area"
    const std::optional<QString> &error() const { return m_error; }
    std::optional<double> lastUpdated() const { return m_lastUpdated; } // Clock::now seconds

    // Checks the authorisation and asks for a fix, or asks to be allowed.
    void start();
    // Starts unless that happened before: for surfaces that show the
    // weather without asking for a new fix each time they appear. Nothing
    // touches the location service or the network before the first start.
    void startOnce();
    // Asks for a fix unless the last one is at most 8 s old.
    void refresh();
    // Requests the conditions at a position (degrees).
    void fetch(double latitude, double longitude);

signals:
    void summaryChanged();
    void detailChanged();
    void tempCChanged();
    void humidityChanged();
    void windKmhChanged();
    void codeChanged();
    void placeChanged();
    void errorChanged();
    void lastUpdatedChanged();
    // After each successful fetch, so that surfaces showing weather redraw.
    void weatherUpdated();

private:
    void onAuthorizationChanged(LocationAuthorization status);
    void onLocationsUpdated(const QList<GeoPosition> &positions);
    void onLocationFailed(const QString &description);
    void applyReading(const WeatherReading &reading);

    void setSummary(const QString &summary);
    void setDetail(const QString &detail);
    void setPlace(const QString &place);
    void setError(const std::optional<QString> &error);
    void setLastUpdated(double at);

    LocationManager &m_manager;
    ReverseGeocoder &m_geocoder;
    QNetworkAccessManager &m_network;
    Clock &m_clock;
    QUrl m_forecastBaseUrl;
    std::chrono::milliseconds m_requestTimeout;

    QString m_summary = WeatherTexts::locating;
    QString m_detail;
    WeatherReading m_reading;
    QString m_place;
    std::optional<QString> m_error;
    std::optional<double> m_lastUpdated;
    std::optional<double> m_lastFetch; // Clock uptime of the last fix, seconds
    bool m_started = false;
};
