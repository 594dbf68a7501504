#pragma once

#include "energy/energy_attribution.h"
#include "energy/proc_energy.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

class Clock;
class ProcessTable;
class SerialQueue;
class TopProcessSink;

// Which processes use the power right now: on a timer, a pass on the
// "pendrapro.proc" queue turns each process's CPU time into a share of the
// measured draw, and the ranked list is published on the main thread. The
// leading process goes to the drain log at most every 25 s.
class ProcessEnergyStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<ProcEnergy> top READ top NOTIFY topChanged)

public:
    // Read on the main thread when a pass is requested.
    using PowerReader = std::function<PowerFigures()>;

    static constexpr auto kNormalInterval = std::chrono::seconds(20);
    static constexpr auto kFastInterval = std::chrono::seconds(5);
    static constexpr auto kFirstPassDelay = std::chrono::seconds(3);
    static constexpr auto kFastModeExtraPassDelay = std::chrono::milliseconds(350);
    static constexpr double kTopNoteIntervalSeconds = 25;


    // `topSink` may be null.
    ProcessEnergyStore(const ProcessTable &table, const Clock &clock, PowerReader power,
                       TopProcessSink *topSink, QObject *parent = nullptr);
    // Waits for a running pass.
    ~ProcessEnergyStore() override;

    const QList<ProcEnergy> &top() const { return m_top; }
    bool fastMode() const { return m_fastMode; }
    bool sampleInFlight() const { return m_sampleInFlight; }

    // Starts the timer at the current cadence; the first pass follows in 3 s.
    // While paused it only remembers that it was started.
    void start();
    // 5 s passes while the user looks at the list, 20 s otherwise; switching
    // on while running also asks for a pass 0.35 s later.
    void setFastMode(bool fast);
    // While nobody reads the passes no timer runs and the drain log forgets
    // the leader, so its power records name no process that is not being
    // measured. Resuming a started store runs a pass at once.
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    // Requests one pass; dropped while one is queued or running.
    void sample();
    // Publishes a pass's list unless it differs only slightly from `top`, and
    // hands the leader to the drain log at most every 25 s.
    void publishTop(const QList<ProcEnergy> &list);

signals:
    void topChanged();
    // Every pass's full list, changed or not; for the energy history.
    void passPublished(const QList<ProcEnergy> &list);

private:
    bool running() const { return m_started && !m_paused; }
    void scheduleTimer();

    const Clock &m_clock;
    PowerReader m_power;
    TopProcessSink *m_topSink;
    QList<ProcEnergy> m_top;
    QTimer m_timer;
    // The first pass after start and the extra one when fast mode begins.
    QTimer m_soonTimer;
    bool m_fastMode = false;
    bool m_started = false;
    bool m_paused = false;
    bool m_sampleInFlight = false;
    double m_lastTopNote; // monotonic seconds
    // Used only on the queue.
    EnergyAttribution m_attribution;
    std::atomic<bool> m_stopping{false};
    std::unique_ptr<SerialQueue> m_queue;
};

// True when `next` would show the same rows as `current`: same ids in the same
// order, watts within 0.15 W and CPU within 2 points each.
bool isSameTopList(const QList<ProcEnergy> &current, const QList<ProcEnergy> &next);
