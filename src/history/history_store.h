#pragma once

#include "history/history_records.h"
#include "history/history_span.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class Clock;
class Defaults;
class HistoryDatabase;
class SerialQueue;

// The app's door to the history file. Every database call runs on the
// "pendrapro.history" queue, which owns the connection; callers never wait
// except through waitForWrites. Results come back on the main thread.
class HistoryStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString note READ note NOTIFY noteChanged)

public:
    static constexpr int kShortAppRetentionDays = 7;
    static constexpr int kLongAppRetentionDays = 35;
    static inline const QString kRetentionKey = QStringLiteral("pendrapro.history.appRetentionDays");
    static inline const QString kDiskFullNote = QStringLiteral("History paused — the disk is full.");
    // Trims run at most this often, within a write's transaction.
    static constexpr double kTrimIntervalSeconds = 3600;

    // Opens (or starts) the file at `path` on the queue. `defaults` and
    // `clock` must outlive the store.
    HistoryStore(QString path, Defaults &defaults, const Clock &clock, QObject *parent = nullptr);
    // With the file capped at `maxFileBytes`; past it writes fail as on a
    // full disk.
    HistoryStore(QString path, qint64 maxFileBytes, Defaults &defaults, const Clock &clock,
                 QObject *parent = nullptr);
    // Finishes the queued work first.
    ~HistoryStore() override;

    // Empty, or why nothing is being recorded (a full disk).
    const QString &note() const { return m_note; }
    // 7 or 35 days of app hours; other stored values read as 35.
    int appRetentionDays() const { return m_appRetentionDays; }
    // Stored, and the app hours trimmed to it at once.
    void setAppRetentionDays(int days);

    // Adds the batch in one transaction; a full disk drops it and sets the
    // note until a later write succeeds.
    void write(HistoryBatch batch);
    // Removes every row.
    void clear();
    // Blocks until every call queued so far is done. For sleep, quit and tests.
    void waitForWrites();

    // Ranked apps and battery energy of the last `days` local days, today
    // included; `done` runs on the main thread unless `receiver` is gone by
    // then.
    void loadApps(int days, QObject *receiver, std::function<void(const AppEnergyReport &)> done);
    void loadHealth(QObject *receiver, std::function<void(const QList<HealthPoint> &)> done);
    // The last 24 hours' apps as of the last write; for the chat's snapshot,
    // which is read on the main thread.
    const QList<AppEnergyTotal> &lastDayApps() const { return m_lastDayApps; }

signals:
    void noteChanged();
    // A write or a clear changed the rows: shown tables are stale.
    void changed();

private:
    // `job` gets the database and the wall-clock time of the call.
    void run(std::function<void(HistoryDatabase &, double now)> job);
    void setNote(const QString &note);
    void loadSpan(HistorySpan span, QObject *receiver, std::function<void(const AppEnergyReport &)> done);
    void refreshLastDayApps();

    Defaults &m_defaults;
    const Clock &m_clock;
    int m_appRetentionDays;
    QString m_note;
    QList<AppEnergyTotal> m_lastDayApps;
    double m_lastTrim = 0; // wall-clock seconds; main thread
    // Worker-side: the wall-clock time of the job being run.
    double m_jobNow = 0;
    std::unique_ptr<HistoryDatabase> m_database; // created, used and destroyed on the queue
    std::unique_ptr<SerialQueue> m_queue;
};
