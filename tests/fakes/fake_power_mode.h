#pragma once

#include "platform/power_mode.h"

// Low Power Mode switched by the test; emits like the real monitor.
class FakePowerModeMonitor final : public PowerModeMonitor
{
public:
    bool isLowPowerModeEnabled() const override { return m_enabled; }

    void setLowPowerMode(bool enabled)
    {
        if (m_enabled == enabled)
            return;
        m_enabled = enabled;
        emit lowPowerModeChanged(enabled);
    }

private:
    bool m_enabled = false;
};
