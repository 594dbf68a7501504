#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// Whether this process may learn the machine's position. The raw values are
// the ones the product stores and compares against.
enum class LocationAuthorization {
    notDetermined = 0, // nobody has asked yet, or the last attempt settled nothing
    restricted = 1,
    denied = 2, // the location service refused this application
    authorizedAlways = 3,
    authorizedWhenInUse = 4,
};

// One position fix, degrees (WGS 84), north and east positive. Already
// coarsened to about a kilometre: nothing finer is ever needed or handed on.
struct GeoPosition
{
    double latitude = 0;
    double longitude = 0;

    bool operator==(const GeoPosition &) const = default;
};

// The machine's position service. Lives on the main thread; every answer
// arrives later through a signal, never from inside the call that asked.
class LocationManager : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual LocationAuthorization authorizationStatus() const = 0;
    // Asks to be allowed; the outcome arrives through `authorizationChanged`,
    // or `locationFailed` when there is nothing to ask.
    virtual void requestAuthorization() = 0;
    // Asks for one fix: `locationsUpdated`, `locationFailed`, or
    // `authorizationChanged` when the attempt settled the authorisation.
    virtual void requestLocation() = 0;

signals:
    void authorizationChanged(LocationAuthorization status);
    void locationsUpdated(const QList<GeoPosition> &positions); // oldest first
    void locationFailed(const QString &description); // a sentence for the user
};

// A named place near a position. Either part may be empty.
struct Placemark
{
    QString locality; // town or city
    QString administrativeArea; // state, province or region

    bool operator==(const Placemark &) const = default;
};

// Turns a position into a place name. Lives on the main thread.
class ReverseGeocoder
{
public:
    virtual ~ReverseGeocoder() = default;

    // Calls `done` later on the main thread with the place, or none when the
    // position names no place or the lookup failed. `done` is never called
    // once `context` is destroyed.
    virtual void reverseGeocode(const GeoPosition &position, QObject *context,
                                std::function<void(const std::optional<Placemark> &)> done) = 0;
};
