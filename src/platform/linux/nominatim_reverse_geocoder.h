#pragma once

#include "platform/location.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <optional>
#include <utility>

class Clock;
class QNetworkAccessManager;
class QNetworkReply;

// Reverse geocoding with an OpenStreetMap Nominatim server. Its usage policy
// asks for an identifying User-Agent and at most one request a second, so
// requests go out one at a time, at least a second apart, and each answer is
// kept for the rest of the process per position (positions arrive coarsened
// to about a kilometre, so a machine that stays put asks once).
class NominatimReverseGeocoder final : public QObject, public ReverseGeocoder
{
    Q_OBJECT

public:
    // A lookup that has not finished by then fails, so that it cannot hold
    // up the ones after it.
    static constexpr std::chrono::milliseconds kRequestTimeout{10'000};

    // `baseUrl` is the server root (https://nominatim.openstreetmap.org in
    // use); `userAgent` names the application and its version.
    NominatimReverseGeocoder(QNetworkAccessManager &network, Clock &clock, QUrl baseUrl, QByteArray userAgent,
                             std::chrono::milliseconds requestTimeout = kRequestTimeout, QObject *parent = nullptr);

    void reverseGeocode(const GeoPosition &position, QObject *context,
                        std::function<void(const std::optional<Placemark> &)> done) override;

private:
    struct Pending
    {
        GeoPosition position;
        QPointer<QObject> context;
        std::function<void(const std::optional<Placemark> &)> done;
    };

    void sendWhenAllowed();
    void send();
    void finish(QNetworkReply *reply);
    static std::pair<qint64, qint64> cacheKey(const GeoPosition &position);

    QNetworkAccessManager &m_network;
    Clock &m_clock;
    QUrl m_baseUrl;
    QByteArray m_userAgent;
    std::chrono::milliseconds m_requestTimeout;
    QTimer m_spacing;
    std::optional<Pending> m_waiting; // only the newest waiting lookup matters
    std::optional<Pending> m_inFlight;
    std::optional<double> m_lastSentAt; // Clock uptime, seconds
    QHash<std::pair<qint64, qint64>, std::optional<Placemark>> m_cache;
};

// The place in a Nominatim "jsonv2" reverse answer; none for an answer that
// names no place, an error object or text that is not such an answer.
std::optional<Placemark> parseNominatimReverse(const QByteArray &body);
