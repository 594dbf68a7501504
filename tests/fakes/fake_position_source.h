#pragma once

#include <QGeoCoordinate>
#include <QGeoPositionInfo>
#include <QGeoPositionInfoSource>

// A position source that answers only when the test says so, standing in
// for Qt's GeoClue plugin.
class FakePositionSource final : public QGeoPositionInfoSource
{
    Q_OBJECT

public:
    FakePositionSource() : QGeoPositionInfoSource(nullptr) {}

    int updateRequests = 0;

    void deliver(double latitude, double longitude)
    {
        m_error = NoError;
        emit positionUpdated(QGeoPositionInfo(QGeoCoordinate(latitude, longitude), QDateTime::currentDateTimeUtc()));
    }
    void fail(Error error)
    {
        m_error = error;
        emit errorOccurred(error);
    }

    QGeoPositionInfo lastKnownPosition(bool = false) const override { return {}; }
    PositioningMethods supportedPositioningMethods() const override { return NonSatellitePositioningMethods; }
    int minimumUpdateInterval() const override { return 1000; }
    Error error() const override { return m_error; }
    void startUpdates() override {}
    void stopUpdates() override {}
    void requestUpdate(int) override { ++updateRequests; }

private:
    Error m_error = NoError;
};
