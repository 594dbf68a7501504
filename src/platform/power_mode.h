#pragma once

#include <QObject>

// Whether the system asks applications to save power (Low Power Mode). Lives
// on the main thread; the value is cached, so reading it never blocks.
class PowerModeMonitor : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool isLowPowerModeEnabled() const = 0;


signals:
    void lowPowerModeChanged(bool enabled);
};
