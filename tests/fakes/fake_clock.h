#pragma once

#include "platform/clock.h"

// A clock that moves only when told to.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(double start = 1'000'000.0) : m_now(start), m_uptime(start) {}

    double now() const override { return m_now; }
    double uptime() const override { return m_uptime; }

    void advance(double seconds)
    {
        m_now += seconds;
        m_uptime += seconds;
    }
    // Moves the wall clock alone, as a manual time change does.
    void setWallClock(double seconds) { m_now = seconds; }

private:
    double m_now;
    double m_uptime;
};
