#pragma once

#include "energy/drain_records.h"
#include "energy/top_process_sink.h"
#include "energy/why_drain.h"
#include "power/drain_sinks.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class Clock;
class Defaults;
class SerialQueue;

// The on-disk drain history: one JSON record per line in drain.jsonl, appended
// by the power store, the process sampler and the shell's sleep/wake
// observers, bounded by a retention of 1–30 days. Every file write runs on the
// "pendrapro.drainlog" queue, in call order; callers never wait for it.
class DrainLog : public QObject, public PowerLogSink, public TopProcessSink
{
    Q_OBJECT
    Q_PROPERTY(int retentionDays READ retentionDays NOTIFY retentionDaysChanged)

public:
    // Returns 0…`bound` − 1, uniformly. Drawn on the log's queue.
    using RandomInt = std::function<int(int bound)>;
    // A uniform random source seeded from the system.
    static RandomInt systemRandom();

    static constexpr int kDefaultRetentionDays = 14;
    static constexpr int kMinRetentionDays = 1;
    static constexpr int kMaxRetentionDays = 30;
    // On average one append in this many trims the file.
    static constexpr int kTrimOneIn = 30;


    DrainLog(QString filePath, Defaults &defaults, const Clock &clock, RandomInt random,
             QObject *parent = nullptr);
    // Finishes the queued writes first.
    ~DrainLog() override;

    const QString &filePath() const { return m_filePath; }

    int retentionDays() const { return m_retentionDays.load(); }
    // Clamped to 1…30, stored, and the file trimmed to it at once.
    void setRetentionDays(int days);

    // A "power" record carrying the last noted top process.
    void logPower(int levelPercent, double packageWatts, double chargeWatts, bool charging) override;
    // A "battery_pack_change" event record.
    void logPackChange() override;
    // Remembers the leading process for later power records and appends a
    // "proc" record.
    void noteTop(const QString &name, double score, double cpuPercent) override;
    // Later power records carry "" and 0, as before the first note.
    void forgetTop() override;
    // An "event" record for a sleep or wake of the system or the displays.
    void logEvent(DrainEvent event);
    // Deletes the file; the next record starts a new one.
    void clearHistory();

    // The why-drain analysis, to run on any thread (not through the queue),
    // any time later: it holds the file's path and the clock, never this
    // object, so a log destroyed meanwhile does not matter. The clock must
    // outlive it, as the system clock does.
    std::function<WhyDrain()> whyDrainAnalysis() const;

    QString lastTopName() const;
    double lastTopScore() const;

    // Blocks until every write queued so far is done. For shutdown and tests.
    void waitForWrites();

signals:
    void retentionDaysChanged();

private:
    static int storedRetentionDays(const Defaults &defaults);
    void append(std::function<QByteArray(double now)> buildLine);
    void trim();

    QString m_filePath;
    Defaults &m_defaults;
    const Clock &m_clock;
    RandomInt m_random;
    // Written on the main thread, read by trims on the queue.
    std::atomic<int> m_retentionDays;
    // Set by noteTop on the main thread, read by power records on the queue.
    mutable std::mutex m_topMutex;
    QString m_lastTopName;
    double m_lastTopScore = 0;
    std::unique_ptr<SerialQueue> m_queue;
};
