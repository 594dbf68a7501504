#include "history/battery_day_accumulator.h"

#include <QDateTime>

#include <algorithm>

namespace {

// Wall-clock seconds of the local midnight that starts `date`.
double midnightOf(QDate date)
{
    return QDateTime(date, QTime(0, 0)).toMSecsSinceEpoch() / 1000.0;
}

template <typename T>
std::optional<T> lower(std::optional<T> a, std::optional<T> b)
{
    if (!a || !b)
        return a ? a : b;
    return std::min(*a, *b);
}

template <typename T>
std::optional<T> higher(std::optional<T> a, std::optional<T> b)
{
    if (!a || !b)
        return a ? a : b;
    return std::max(*a, *b);
}

} // namespace

std::optional<double> BatteryDay::healthPercent() const
{
    if (!fullChargeMah || !designMah || *designMah <= 0)
        return std::nullopt;
    return 100.0 * *fullChargeMah / *designMah;
}

void BatteryDayAccumulator::note(double now, const BatteryReading &reading)
{
    if (m_lastTime && m_last && now > *m_lastTime && now - *m_lastTime <= kMaxHeldSeconds)
        hold(*m_lastTime, now, *m_last);
    const bool chargingBegan = m_last && !m_last->charging && reading.charging;
    m_lastTime = now;
    m_last = reading;

    BatteryDay &day = dayOf(now);
    if (reading.fullChargeMah)
        day.fullChargeMah = reading.fullChargeMah;
    if (reading.designMah)
        day.designMah = reading.designMah;
    if (reading.cycles)
        day.cycles = reading.cycles;
    day.minTemperatureC = lower(day.minTemperatureC, reading.temperatureC);
    day.maxTemperatureC = higher(day.maxTemperatureC, reading.temperatureC);
    if (chargingBegan)
        day.chargeSessions += 1;
}

void BatteryDayAccumulator::breakInterval()
{
    m_lastTime.reset();
}

void BatteryDayAccumulator::hold(double from, double to, const BatteryReading &reading)
{
    if (!reading.onBattery)
        return;
    while (from < to) {
        const double end = std::min(to, localDayOf(from).end);
        BatteryDay &day = dayOf(from);
        day.minutesOnBattery += (end - from) / 60;
        day.drawnWattHours += std::max(reading.chargeWatts, 0.0) * (end - from) / 3600;
        from = end;
    }
}

const BatteryDayAccumulator::LocalDay &BatteryDayAccumulator::localDayOf(double seconds)
{
    if (seconds >= m_localDay.start && seconds < m_localDay.end)
        return m_localDay;
    const QDate date = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(seconds * 1000)).date();
    m_localDay = {date, midnightOf(date), midnightOf(date.addDays(1))};
    return m_localDay;
}

BatteryDay &BatteryDayAccumulator::dayOf(double seconds)
{
    const QDate date = localDayOf(seconds).date;
    BatteryDay &day = m_days[date];
    day.day = date;
    return day;
}

QList<BatteryDay> BatteryDayAccumulator::take()
{
    QList<BatteryDay> days = m_days.values();
    m_days.clear();
    return days;
}
