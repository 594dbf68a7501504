#include "power/power_store_smoothers.h"

#include "platform/format.h"

#include <algorithm>
#include <cmath>

int LevelHysteresis::apply(int level)
{
    const int reading = std::clamp(level, 0, 100);
    constexpr int kHitsToMove = 3;
    if (m_sticky < 0) {
        m_sticky = reading;
        m_pending = reading;
        m_hits = 1;
    } else if (reading == m_sticky) {
        m_pending = reading;
        m_hits = 0;
    } else if (reading == m_pending) {
        m_hits += 1;
        if (m_hits >= kHitsToMove) {
            m_sticky += reading > m_sticky ? 1 : -1;
            // Still away: the next matching poll moves it again.
            m_hits = m_sticky == reading ? 0 : kHitsToMove - 1;
        }
    } else {
        m_pending = reading;
        m_hits = 1;
    }
    return m_sticky;
}

void LevelHysteresis::reset()
{
    m_sticky = -1;
    forgetCandidate();
}

void LevelHysteresis::forgetCandidate()
{
    m_pending = -1;
    m_hits = 0;
}

void AmperageSmoother::add(int milliamps)
{
    double reading = milliamps;
    if (m_value) {
        const double bound = std::max(std::abs(*m_value) * 0.2, 100.0);
        reading = std::clamp(reading, *m_value - bound, *m_value + bound);
        m_value = *m_value * 0.88 + reading * 0.12;
    } else {
        m_value = reading;
    }
}

int MinutesSmoother::add(int candidate, int shownMinutes)
{
    if (!m_hasEma) {
        m_ema = candidate;
        m_samples = {static_cast<double>(candidate)};
        m_pending = candidate;
        m_pendingHits = 1;
        m_hasEma = true;
        return candidate;
    }

    if (candidate == m_pending) {
        m_pendingHits += 1;
        if (m_pendingHits >= kRepeatsToAccept) {
            m_samples.push_back(candidate);
            if (m_samples.size() > kSampleCap)
                m_samples.erase(m_samples.begin(), m_samples.end() - kSampleCap);
            std::vector<double> sorted = m_samples;
            std::sort(sorted.begin(), sorted.end());
            const double median = sorted[sorted.size() / 2];
            m_ema = median * 0.08 + m_ema * 0.92;
        }
    } else {
        m_pending = candidate;
        m_pendingHits = 1;
    }

    // Walk from the value shown now, not from the minutes behind the time
    // text: the text moves only across 5-minute buckets, so walking from it
    // would get stuck one step below a bucket boundary.
    const double base = shownMinutes >= 1 ? shownMinutes : m_ema;
    double next = m_ema;
    if (std::abs(m_ema - base) > 1.0)
        next = base + (m_ema > base ? 1.0 : -1.0);
    const int shown = std::max(roundHalfAwayInt(next), 1);
    // Snapping the average to a new shown value keeps the walk steady; while
    // the shown value holds, the average keeps moving underneath.
    if (shown != shownMinutes)
        m_ema = shown;
    return shown;
}

void MinutesSmoother::reset()
{
    m_ema = 0;
    m_hasEma = false;
    forgetSamples();
}

void MinutesSmoother::forgetSamples()
{
    m_samples.clear();
    m_pending = -1;
    m_pendingHits = 0;
}

void WattRing::push(double watts)
{
    m_slots[static_cast<std::size_t>(m_next % kCapacity)] = watts;
    m_next += 1;
    m_filled = std::min(m_filled + 1, kCapacity);
}

QList<double> WattRing::history() const
{
    QList<double> ordered;
    ordered.reserve(m_filled);
    for (int i = 0; i < m_filled; ++i)
        ordered.append(m_slots[static_cast<std::size_t>((m_next - m_filled + i) % kCapacity)]);
    return ordered;
}
