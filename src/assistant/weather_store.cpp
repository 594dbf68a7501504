#include "assistant/weather_store.h"

#include "assistant/weather_forecast.h"
#include "platform/clock.h"
#include "platform/reply_limits.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStringList>

namespace {

// A refresh within this many seconds of the last fix reuses it.
constexpr double kRefreshGuardSeconds = 8.0;

const QString kTimedOut = QStringLiteral("The weather service did not answer in time");
const QString kTooLarge = QStringLiteral("The weather service sent too much data");

QString placeName(const std::optional<Placemark> &placemark)
{
    if (!placemark)
        return {};
    QStringList parts;
    for (const QString &part : {placemark->locality, placemark->administrativeArea}) {
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

WeatherStore::WeatherStore(LocationManager &manager, ReverseGeocoder &geocoder, QNetworkAccessManager &network,
                           Clock &clock, QUrl forecastBaseUrl, std::chrono::milliseconds requestTimeout,
                           QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_geocoder(geocoder)
    , m_network(network)
    , m_clock(clock)
    , m_forecastBaseUrl(std::move(forecastBaseUrl))
    , m_requestTimeout(requestTimeout)
{
    // Queued when the manager signals from another thread, so every field
    // changes on the main thread.
    connect(&m_manager, &LocationManager::authorizationChanged, this, &WeatherStore::onAuthorizationChanged);
    connect(&m_manager, &LocationManager::locationsUpdated, this, &WeatherStore::onLocationsUpdated);
    connect(&m_manager, &LocationManager::locationFailed, this, &WeatherStore::onLocationFailed);
}

void WeatherStore::startOnce()
{
    if (!m_started)
        start();
}

void WeatherStore::start()
{
    m_started = true;
    switch (m_manager.authorizationStatus()) {
    case LocationAuthorization::authorizedAlways:
        m_manager.requestLocation();
        return;
    case LocationAuthorization::notDetermined:
        m_manager.requestAuthorization();
        return;
    case LocationAuthorization::restricted:
    case LocationAuthorization::denied:
    case LocationAuthorization::authorizedWhenInUse:
        break;
    }
    setError(WeatherTexts::deniedAtStart);
    setSummary(WeatherTexts::locationOff);
    setDetail(WeatherTexts::allowHint);
}

void WeatherStore::refresh()
{
    if (m_lastFetch && m_clock.uptime() - *m_lastFetch <= kRefreshGuardSeconds)
        return;
    m_manager.requestLocation();
}

void WeatherStore::onAuthorizationChanged(LocationAuthorization status)
{
    switch (status) {
    case LocationAuthorization::restricted:
    case LocationAuthorization::denied:
        setError(WeatherTexts::deniedLater);
        setSummary(WeatherTexts::locationOff);
        return;
    case LocationAuthorization::authorizedAlways:
        m_manager.requestLocation();
        return;
    case LocationAuthorization::notDetermined:
    case LocationAuthorization::authorizedWhenInUse:
        return;
    }
}

void WeatherStore::onLocationsUpdated(const QList<GeoPosition> &positions)
{
    if (positions.isEmpty())
        return;
    const GeoPosition position = positions.constLast();
    m_lastFetch = m_clock.uptime();
    fetch(position.latitude, position.longitude);
    m_geocoder.reverseGeocode(position, this, [this](const std::optional<Placemark> &placemark) {
        setPlace(placeName(placemark));
    });
}

void WeatherStore::onLocationFailed(const QString &description)
{
    setError(description);
    setSummary(WeatherTexts::unavailable);
}

void WeatherStore::fetch(double latitude, double longitude)
{
    QNetworkReply *reply = m_network.get(QNetworkRequest(openMeteoForecastUrl(m_forecastBaseUrl, latitude, longitude)));
    const ReplyLimits *limits = ReplyLimits::apply(reply, m_requestTimeout);
    // The reply outlives a store that is gone; it then only cleans up.
    QPointer<WeatherStore> self(this);
    connect(reply, &QNetworkReply::finished, reply, [self, reply, limits] {
        reply->deleteLater();
        if (!self)
            return;
        if (reply->error() != QNetworkReply::NoError) {
            switch (limits->breach()) {
            case ReplyLimits::Breach::timedOut:
                self->setError(kTimedOut);
                break;
            case ReplyLimits::Breach::tooLarge:
                self->setError(kTooLarge);
                break;
            case ReplyLimits::Breach::none:
                self->setError(reply->errorString());
                break;
            }
            self->setSummary(WeatherTexts::fetchError);
            return;
        }
        const std::optional<WeatherReading> reading = parseOpenMeteoCurrent(reply->readAll());
        if (!reading) {
            self->setSummary(WeatherTexts::fetchError);
            return;
        }
        self->applyReading(*reading);
    });
}

void WeatherStore::applyReading(const WeatherReading &reading)
{
    const WeatherReading old = std::exchange(m_reading, reading);
    if (old.tempC != reading.tempC)
        emit tempCChanged();
    if (old.humidity != reading.humidity)
        emit humidityChanged();
    if (old.windKmh != reading.windKmh)
        emit windKmhChanged();
    if (old.code != reading.code)
        emit codeChanged();
    setError(std::nullopt);
    setLastUpdated(m_clock.now());
    setSummary(weatherSummary(reading));
    setDetail(weatherDetail(reading));
    emit weatherUpdated();
}

void WeatherStore::setSummary(const QString &summary)
{
    if (m_summary == summary)
        return;
    m_summary = summary;
    emit summaryChanged();
}

void WeatherStore::setDetail(const QString &detail)
{
    if (m_detail == detail)
        return;
    m_detail = detail;
    emit detailChanged();
}

void WeatherStore::setPlace(const QString &place)
{
    if (m_place == place)
        return;
    m_place = place;
    emit placeChanged();
}

void WeatherStore::setError(const std::optional<QString> &error)
{
    if (m_error == error)
        return;
    m_error = error;
    emit errorChanged();
}

void WeatherStore::setLastUpdated(double at)
{
    if (m_lastUpdated == at)
        return;
    m_lastUpdated = at;
    emit lastUpdatedChanged();
}
