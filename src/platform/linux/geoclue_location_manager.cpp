#include "platform/linux/geoclue_location_manager.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QGeoPositionInfo>

#include <chrono>
#include <cmath>
#include <utility>

using namespace std::chrono_literals;

namespace {

const QString kGeoClueService = QStringLiteral("org.freedesktop.GeoClue2");
// GeoClue may scan Wi-Fi networks before it answers.
constexpr auto kFixTimeout = 30s;

} // namespace

GeoClueLocationManager::GeoClueLocationManager(SourceFactory makeSource, QDBusConnection bus, QObject *parent)
    : LocationManager(parent)
    , m_makeSource(std::move(makeSource))
    , m_bus(std::move(bus))
{
}

GeoClueLocationManager::~GeoClueLocationManager() = default;

GeoPosition GeoClueLocationManager::coarsened(double latitude, double longitude)
{
    // + 0.0 turns a rounded −0 into 0, so no "-0" reaches a request.
    return {std::round(latitude * 100) / 100 + 0.0, std::round(longitude * 100) / 100 + 0.0};
}

void GeoClueLocationManager::requestAuthorization()
{
    startAttempt();
}

void GeoClueLocationManager::requestLocation()
{
    if (m_settlingFix) {
        const GeoPosition fix = *std::exchange(m_settlingFix, std::nullopt);
        QMetaObject::invokeMethod(this, [this, fix] { emit locationsUpdated({fix}); }, Qt::QueuedConnection);
        return;
    }
    startAttempt();
}

bool GeoClueLocationManager::haveSource()
{
    if (m_makeSource) {
        m_source = std::exchange(m_makeSource, nullptr)();
        if (m_source) {
            // GeoClue offers street level at the least; the fix is coarsened below.
            m_source->setPreferredPositioningMethods(QGeoPositionInfoSource::NonSatellitePositioningMethods);
            connect(m_source.get(), &QGeoPositionInfoSource::positionUpdated, this,
                    &GeoClueLocationManager::onPosition);
            connect(m_source.get(), &QGeoPositionInfoSource::errorOccurred, this, &GeoClueLocationManager::onError);
        }
    }
    return m_source != nullptr;
}

void GeoClueLocationManager::startAttempt()
{
    if (!haveSource()) {
        fail(GeoClueTexts::noPlugin);
        return;
    }
    // A request while one is under way joins it.
    m_source->requestUpdate(int(std::chrono::milliseconds(kFixTimeout).count()));
}

void GeoClueLocationManager::onPosition(const QGeoPositionInfo &info)
{
    if (!info.isValid() || !info.coordinate().isValid())
        return;
    const GeoPosition fix = coarsened(info.coordinate().latitude(), info.coordinate().longitude());
    if (m_status == LocationAuthorization::authorizedAlways) {
        emit locationsUpdated({fix});
        return;
    }
    m_status = LocationAuthorization::authorizedAlways;
    m_settlingFix = fix;
    emit authorizationChanged(m_status);
}

void GeoClueLocationManager::onError(QGeoPositionInfoSource::Error error)
{
    switch (error) {
    case QGeoPositionInfoSource::AccessError:
        onAccessRefused();
        return;
    case QGeoPositionInfoSource::UpdateTimeoutError:
        fail(GeoClueTexts::timedOut);
        return;
    case QGeoPositionInfoSource::ClosedError:
        fail(GeoClueTexts::closed);
        return;
    case QGeoPositionInfoSource::UnknownSourceError:
        fail(GeoClueTexts::unknown);
        return;
    case QGeoPositionInfoSource::NoError:
        return;
    }
}

void GeoClueLocationManager::onAccessRefused()
{
    if (!m_bus.isConnected()) {
        fail(GeoClueTexts::noService);
        return;
    }
    // GeoClue exits when idle, so a service that is not running may still
    // be installed: it counts if it runs or can be started.
    askBus(QStringLiteral("NameHasOwner"), {kGeoClueService}, [this](const QDBusMessage &reply) {
        if (reply.arguments().value(0).toBool()) {
            deny();
            return;
        }
        askBus(QStringLiteral("ListActivatableNames"), {}, [this](const QDBusMessage &names) {
            if (names.arguments().value(0).toStringList().contains(kGeoClueService))
                deny();
            else
                fail(GeoClueTexts::noService);
        });
    });
}

void GeoClueLocationManager::askBus(const QString &method, const QVariantList &arguments,
                                    std::function<void(const QDBusMessage &)> done)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                       QStringLiteral("/org/freedesktop/DBus"),
                                                       QStringLiteral("org.freedesktop.DBus"), method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [done = std::move(done)](QDBusPendingCallWatcher *finished) {
                finished->deleteLater();
                done(finished->reply());
            });
}

void GeoClueLocationManager::deny()
{
    m_settlingFix.reset();
    m_status = LocationAuthorization::denied;
    emit authorizationChanged(m_status);
}

void GeoClueLocationManager::fail(const QString &description)
{
    QMetaObject::invokeMethod(
        this, [this, description] { emit locationFailed(description); }, Qt::QueuedConnection);
}
