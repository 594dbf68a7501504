#pragma once

#include "history/history_records.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

// The history file, history.sqlite: energy per app per hour and the battery's
// record per day. One object is one connection and belongs to the thread
// that created it (Qt SQL connections are per thread).
//
//   app_hour(hour INTEGER, app TEXT, wh REAL, cpu_s REAL), key (hour, app)
//     hour: Unix seconds at the start of the UTC hour; at most 15 apps per
//     finished hour, the rest added up under "Other"
//   battery_day(day TEXT 'yyyy-MM-dd' local, full_mah, design_mah, cycles,
//     temp_min, temp_max, battery_minutes, drawn_wh, charge_sessions)
class HistoryDatabase
{
public:
    enum class Access { readWrite, readOnly };
    enum class WriteResult { written, diskFull, failed };

    static constexpr int kAppsPerHour = 15;
    static constexpr int kDayRetentionDays = 5 * 366;
    // A year of every hour's apps takes about 5 MB; a file growing past this
    // is a fault, and is treated as a full disk rather than let grow.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

    // Opens or creates the file (WAL journal). A file SQLite finds damaged
    // (not a database, corrupt, or failing its check) is renamed to
    // "<name>.damaged-<yyyyMMdd-HHmmss>" (from `nowSeconds`, wall-clock) with
    // one log line and a new one is started. Any other failure (no SQLite
    // driver, a locked or unwritable file) leaves the file as it is and the
    // history closed. Read-only access changes nothing on disk and moves nothing.
    HistoryDatabase(QString path, Access access, std::function<double()> nowSeconds,
                    qint64 maxFileBytes = kMaxFileBytes);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase &) = delete;
    HistoryDatabase &operator=(const HistoryDatabase &) = delete;

    bool isOpen() const { return m_open; }

    // Adds the batch in one transaction and folds the apps beyond the top 15
    // of every hour before `currentHourStart` (Unix seconds) into "Other".
    // With `trimToAppDays`, the same transaction also trims (see trim).
    WriteResult write(const HistoryBatch &batch, qint64 currentHourStart,
                      std::optional<int> trimToAppDays = std::nullopt);
    // Removes app hours older than `appRetentionDays` and days older than
    // five years before `now` (wall-clock seconds).
    void trim(double now, int appRetentionDays);
    void clear();

    // Apps from `sinceHour` (Unix seconds) on, the top 15 then "Other"; the
    // battery energy of the days from `sinceDay` on.
    AppEnergyReport apps(qint64 sinceHour, QDate sinceDay);
    // Every day with a known health, oldest first.
    QList<HealthPoint> health();

private:
    enum class OpenOutcome { opened, damaged, failed };
    OpenOutcome open();
    OpenOutcome check();
    void close();
    void moveAside();
    bool exec(const QString &statement);
    bool foldHours(qint64 fromHour, qint64 beforeHour);
    bool deleteOld(double now, int appRetentionDays);
    WriteResult failure(const QSqlError &error);

    QString m_path;
    Access m_access;
    std::function<double()> m_now;
    qint64 m_maxFileBytes;
    QString m_connection;
    QSqlDatabase m_db;
    bool m_open = false;
    bool m_foldedSinceOpen = false;
};
