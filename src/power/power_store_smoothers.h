#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QList>

// The shown battery level moves only after a new level was seen three polls
// in a row, then one point per poll, so a gauge flickering between two values
// does not make the display flicker.
class LevelHysteresis
{
public:
    // Feeds one reading (clamped to 0–100) and returns the level to show.
    int apply(int level);
    // −1 before the first reading.
    int shown() const { return m_sticky; }
    // Forgets everything, as for a new power mode.
    void reset();
    // Forgets the candidate but keeps the shown level, as after a wake.
    void forgetCandidate();

private:
    int m_sticky = -1;
    int m_pending = -1;
    int m_hits = 0;
};

// Battery current smoother, mA. A single reading can move it only by 20 %
// (at least 100 mA), so spikes from a wakeup or a disk spin-up fade out.
class AmperageSmoother
{
public:
    void add(int milliamps);
    std::optional<double> value() const { return m_value; }
    void clear() { m_value.reset(); }

private:
    std::optional<double> m_value;
};

// Smooths the system's minutes estimate: a new value must repeat four times
// before it moves the median-based average, and the shown value walks toward
// that average one minute at a time.
class MinutesSmoother
{
public:
    bool hasEstimate() const { return m_hasEma; }
    // Feeds one plausible candidate; returns the minutes to show (≥ 1).
    // `shownMinutes` is the value shown now, −1 when there is none.
    int add(int candidate, int shownMinutes);
    // Forgets everything, as for a new power mode.
    void reset();
    // Forgets the samples and the candidate but keeps the average, as after a wake.
    void forgetSamples();

private:
    static constexpr std::size_t kSampleCap = 16;
    static constexpr int kRepeatsToAccept = 4;

    double m_ema = 0;
    bool m_hasEma = false;
    std::vector<double> m_samples;
    int m_pending = -1;
    int m_pendingHits = 0;
};

// The last 700 package readings.
class WattRing
{
public:
    static constexpr int kCapacity = 700;

    void push(double watts);
    int filled() const { return m_filled; }
    // Oldest first.
    QList<double> history() const;

private:
    std::array<double, kCapacity> m_slots{};
    long long m_next = 0; // monotonic; slot = m_next mod capacity
    int m_filled = 0;
};
