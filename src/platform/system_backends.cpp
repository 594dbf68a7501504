#include "platform/system_backends.h"

#include "platform/linux/sysfs_battery_registry.h"
#include "platform/linux/upower_power_sources.h"

PowerSourceList &systemPowerSources()
{
    static UPowerPowerSources sources;
    return sources;
}

SmartBatteryRegistry &systemSmartBatteryRegistry()
{
    static SysfsSmartBatteryRegistry registry(QStringLiteral("/sys"));
    return registry;
}

std::unique_ptr<SmartBatteryRegistry> makeSmartBatteryRegistry(const QString &sysRoot)
{
    return std::make_unique<SysfsSmartBatteryRegistry>(sysRoot);
}

#include "platform/linux/geoclue_location_manager.h"
#include "platform/linux/nominatim_reverse_geocoder.h"

#include <QVariantMap>

std::unique_ptr<LocationManager> makeSystemLocationManager()
{
    // GeoClue matches the desktop id against the installed .desktop file
    // when it decides whether the application may locate the machine.
    const QVariantMap parameters{{QStringLiteral("desktopId"), QStringLiteral("com.marblewickhq.pendrapro")}};
    std::unique_ptr<QGeoPositionInfoSource> source(
        QGeoPositionInfoSource::createSource(QStringLiteral("geoclue2"), parameters, nullptr));
    return std::make_unique<GeoClueLocationManager>(std::move(source), QDBusConnection::systemBus());
}

std::unique_ptr<ReverseGeocoder> makeSystemReverseGeocoder(QNetworkAccessManager &network, Clock &clock,
                                                           const QUrl &baseUrl, const QByteArray &userAgent)
{
    return std::make_unique<NominatimReverseGeocoder>(network, clock, baseUrl, userAgent);
}
