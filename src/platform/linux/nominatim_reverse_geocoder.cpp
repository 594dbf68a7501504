#include "platform/linux/nominatim_reverse_geocoder.h"

#include "platform/clock.h"
#include "platform/reply_limits.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrlQuery>

#include <cmath>

namespace {

constexpr double kMinSpacingSeconds = 1.0;

// Nominatim names a locality by its size, and an area by the country's
// division; the first present key wins.
const char *const kLocalityKeys[] = {"city", "town", "village", "municipality", "hamlet", "suburb"};
const char *const kAreaKeys[] = {"state", "province", "region", "state_district", "county"};

QString firstText(const QJsonObject &address, const auto &keys)
{
    for (const char *key : keys) {
        const QString text = address.value(QLatin1String(key)).toString().trimmed();
        if (!text.isEmpty())
            return text;
    }
    return {};
}

} // namespace

std::optional<Placemark> parseNominatimReverse(const QByteArray &body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return std::nullopt;
    const QJsonValue address = document.object().value(QLatin1String("address"));
    if (!address.isObject())
        return std::nullopt;
    Placemark place{firstText(address.toObject(), kLocalityKeys), firstText(address.toObject(), kAreaKeys)};
    if (place.locality.isEmpty() && place.administrativeArea.isEmpty())
        return std::nullopt;
    return place;
}

NominatimReverseGeocoder::NominatimReverseGeocoder(QNetworkAccessManager &network, Clock &clock, QUrl baseUrl,
                                                   QByteArray userAgent, std::chrono::milliseconds requestTimeout,
                                                   QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_clock(clock)
    , m_baseUrl(std::move(baseUrl))
    , m_userAgent(std::move(userAgent))
    , m_requestTimeout(requestTimeout)
    , m_spacing(this)
{
    m_spacing.setObjectName(QStringLiteral("nominatimSpacing"));
    m_spacing.setSingleShot(true);
    connect(&m_spacing, &QTimer::timeout, this, &NominatimReverseGeocoder::sendWhenAllowed);
}

std::pair<qint64, qint64> NominatimReverseGeocoder::cacheKey(const GeoPosition &position)
{
    return {std::llround(position.latitude * 100), std::llround(position.longitude * 100)};
}

void NominatimReverseGeocoder::reverseGeocode(const GeoPosition &position, QObject *context,
                                              std::function<void(const std::optional<Placemark> &)> done)
{
    if (const auto cached = m_cache.constFind(cacheKey(position)); cached != m_cache.constEnd()) {
        QMetaObject::invokeMethod(
            context, [done = std::move(done), place = *cached] { done(place); }, Qt::QueuedConnection);
        return;
    }
    m_waiting = Pending{position, context, std::move(done)};
    sendWhenAllowed();
}

void NominatimReverseGeocoder::sendWhenAllowed()
{
    if (!m_waiting || m_inFlight)
        return;
    const double now = m_clock.uptime();
    if (m_lastSentAt && now - *m_lastSentAt < kMinSpacingSeconds) {
        const double wait = kMinSpacingSeconds - (now - *m_lastSentAt);
        m_spacing.start(int(std::ceil(wait * 1000)));
        return;
    }
    send();
}

void NominatimReverseGeocoder::send()
{
    m_inFlight = std::exchange(m_waiting, std::nullopt);
    m_lastSentAt = m_clock.uptime();

    QUrl url = m_baseUrl;
    url.setPath(QStringLiteral("/reverse"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("format"), QStringLiteral("jsonv2"));
    query.addQueryItem(QStringLiteral("lat"), QString::number(m_inFlight->position.latitude, 'g', QLocale::FloatingPointShortest));
    query.addQueryItem(QStringLiteral("lon"), QString::number(m_inFlight->position.longitude, 'g', QLocale::FloatingPointShortest));
    // Town level: no street address is asked for.
    query.addQueryItem(QStringLiteral("zoom"), QStringLiteral("10"));
    url.setQuery(query);

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    QNetworkReply *reply = m_network.get(request);
    ReplyLimits::apply(reply, m_requestTimeout);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finish(reply); });
}

void NominatimReverseGeocoder::finish(QNetworkReply *reply)
{
    reply->deleteLater();
    Pending done = *std::exchange(m_inFlight, std::nullopt);
    std::optional<Placemark> place;
    if (reply->error() == QNetworkReply::NoError) {
        place = parseNominatimReverse(reply->readAll());
        // A position with no place (open sea) stays without one; failures
        // are not kept, so the next fix tries again.
        m_cache.insert(cacheKey(done.position), place);
    }
    if (done.context)
        done.done(place);
    sendWhenAllowed();
}
