#include "history/history_recorder.h"

#include "history/history_store.h"
#include "platform/clock.h"

HistoryRecorder::HistoryRecorder(HistoryStore &store, const Clock &clock, BatteryReader readBattery, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_clock(clock)
    , m_readBattery(std::move(readBattery))
    , m_lastWrite(clock.now())
{
}

void HistoryRecorder::notePass(const QList<AppEnergyAccumulator::Sample> &samples)
{
    const double now = m_clock.now();
    const BatteryReading battery = m_readBattery();
    m_apps.notePass(now, samples, battery.onBattery);
    m_days.note(now, battery);
    writeWhenDue();
}

void HistoryRecorder::noteBattery()
{
    m_days.note(m_clock.now(), m_readBattery());
    writeWhenDue();
}

void HistoryRecorder::noteSleep()
{
    flush();
    m_apps.breakInterval();
    m_days.breakInterval();
    m_store.waitForWrites();
}

void HistoryRecorder::flush()
{
    const double now = m_clock.now();
    // The reading held until now belongs to this batch.
    m_days.note(now, m_readBattery());
    m_store.write(HistoryBatch{m_apps.take(), m_days.take()});
    m_lastWrite = now;
}

void HistoryRecorder::writeWhenDue()
{
    const double now = m_clock.now();
    if (now - m_lastWrite >= kBatchSeconds || now < m_lastWrite)
        flush();
}
