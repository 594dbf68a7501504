#pragma once

#include <QString>

#include <memory>

class PowerSourceList;
class SmartBatteryRegistry;

// The machine's real battery backends, created on first use and kept for the
// process. The only place that knows which implementation is real.
PowerSourceList &systemPowerSources();
SmartBatteryRegistry &systemSmartBatteryRegistry();

// The smart-battery registry read below `sysRoot`, a stand-in for /sys (a
// recorded tree, for diagnostics).
std::unique_ptr<SmartBatteryRegistry> makeSmartBatteryRegistry(const QString &sysRoot);

class Clock;
class LocationManager;
class QNetworkAccessManager;
class QUrl;
class ReverseGeocoder;

// The machine's position service (GeoClue), coarse fixes only.
std::unique_ptr<LocationManager> makeSystemLocationManager();
// Place names from the OpenStreetMap Nominatim server at `baseUrl`
// (https://nominatim.openstreetmap.org); `userAgent` identifies the
// application as the server's usage policy asks.
std::unique_ptr<ReverseGeocoder> makeSystemReverseGeocoder(QNetworkAccessManager &network, Clock &clock,
                                                           const QUrl &baseUrl, const QByteArray &userAgent);
