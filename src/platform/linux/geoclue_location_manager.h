#pragma once

#include "platform/location.h"

#include <QDBusConnection>
#include <QGeoPositionInfoSource>

#include <functional>
#include <memory>
#include <optional>

class QDBusMessage;
class QGeoPositionInfo;

// Location through Qt Positioning's GeoClue2 source. GeoClue has no question
// "may I?": access is decided when a client starts, so the authorisation is
// not determined until the first attempt, becomes authorised with the first
// fix and denied when GeoClue refuses the client. A refusal looks the same as
// an absent service to Qt, so the bus is asked whether GeoClue exists before
// calling it a denial.
class GeoClueLocationManager final : public LocationManager
{
    Q_OBJECT

public:
    // Makes the position source, or null when there is no position plugin.
    using SourceFactory = std::function<std::unique_ptr<QGeoPositionInfoSource>()>;

    // The source is made at the first attempt: loading Qt Positioning's
    // plugins costs memory that a user without weather never needs. `bus` is
    // where GeoClue lives (the system bus).
    GeoClueLocationManager(SourceFactory makeSource, QDBusConnection bus, QObject *parent = nullptr);
    ~GeoClueLocationManager() override;

    LocationAuthorization authorizationStatus() const override { return m_status; }
    void requestAuthorization() override;
    void requestLocation() override;

    // Rounds to two decimals (about 1.1 km of latitude): a kilometre is all
    // the weather needs, and no finer position leaves the machine.
    static GeoPosition coarsened(double latitude, double longitude);

private:
    // False when there is no position plugin.
    bool haveSource();
    void startAttempt();
    void onPosition(const QGeoPositionInfo &info);
    void onError(QGeoPositionInfoSource::Error error);
    void onAccessRefused();
    void deny();
    // Calls the bus daemon itself; `done` runs only while this object lives,
    // and gets an error reply too.
    void askBus(const QString &method, const QVariantList &arguments, std::function<void(const QDBusMessage &)> done);
    void fail(const QString &description);

    SourceFactory m_makeSource;
    std::unique_ptr<QGeoPositionInfoSource> m_source;
    QDBusConnection m_bus;
    LocationAuthorization m_status = LocationAuthorization::notDetermined;
    // The fix that settled the authorisation, handed out by the next request.
    std::optional<GeoPosition> m_settlingFix;
};

// Error texts, shared with tests.
namespace GeoClueTexts {
inline const QString noPlugin = QStringLiteral("Qt's GeoClue location plugin is missing");
inline const QString noService = QStringLiteral("GeoClue location service is not installed");
inline const QString timedOut = QStringLiteral("The location service found no position in time");
inline const QString closed = QStringLiteral("The location service stopped unexpectedly");
inline const QString unknown = QStringLiteral("The location service failed");
} // namespace GeoClueTexts
