#include "history/history_database.h"

#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

Q_LOGGING_CATEGORY(lcHistory, "pendrapro.history", QtWarningMsg)

namespace {

// SQLite's primary result codes, as Qt reports them in nativeErrorCode().
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteNotADatabase = 26;
// SQLite's default page size, which the file keeps.
constexpr qint64 kPageBytes = 4096;

const QString kDayFormat = QStringLiteral("yyyy-MM-dd");

const QString kSchema[] = {
    QStringLiteral("CREATE TABLE IF NOT EXISTS app_hour(hour INTEGER NOT NULL, app TEXT NOT NULL,"
                   " wh REAL NOT NULL, cpu_s REAL NOT NULL, PRIMARY KEY(hour, app)) WITHOUT ROWID"),
    QStringLiteral("CREATE TABLE IF NOT EXISTS battery_day(day TEXT PRIMARY KEY NOT NULL, full_mah INTEGER,"
                   " design_mah INTEGER, cycles INTEGER, temp_min REAL, temp_max REAL,"
                   " battery_minutes REAL NOT NULL DEFAULT 0, drawn_wh REAL NOT NULL DEFAULT 0,"
                   " charge_sessions INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID"),
};

const QString kAddAppHour = QStringLiteral(
    "INSERT INTO app_hour(hour, app, wh, cpu_s) VALUES(?, ?, ?, ?)"
    " ON CONFLICT(hour, app) DO UPDATE SET wh = wh + excluded.wh, cpu_s = cpu_s + excluded.cpu_s");

const QString kAddDay = QStringLiteral(
    "INSERT INTO battery_day(day, full_mah, design_mah, cycles, temp_min, temp_max, battery_minutes, drawn_wh,"
    " charge_sessions) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"
    " ON CONFLICT(day) DO UPDATE SET full_mah = coalesce(excluded.full_mah, full_mah),"
    " design_mah = coalesce(excluded.design_mah, design_mah), cycles = coalesce(excluded.cycles, cycles),"
    " temp_min = min(coalesce(temp_min, excluded.temp_min), coalesce(excluded.temp_min, temp_min)),"
    " temp_max = max(coalesce(temp_max, excluded.temp_max), coalesce(excluded.temp_max, temp_max)),"
    " battery_minutes = battery_minutes + excluded.battery_minutes, drawn_wh = drawn_wh + excluded.drawn_wh,"
    " charge_sessions = charge_sessions + excluded.charge_sessions");

// Hours with more rows than the top apps.
const QString kCrowdedHours = QStringLiteral(
    "SELECT hour FROM app_hour WHERE hour >= ? AND hour < ? AND app <> 'Other'"
    " GROUP BY hour HAVING count(*) > %1").arg(HistoryDatabase::kAppsPerHour);
// The "WHERE true" keeps SQLite from reading ON CONFLICT as a join clause.
const QString kFoldIntoOther = QStringLiteral(
    "INSERT INTO app_hour(hour, app, wh, cpu_s) SELECT ?, 'Other', total(wh), total(cpu_s) FROM"
    " (SELECT wh, cpu_s FROM app_hour WHERE hour = ? AND app <> 'Other' ORDER BY wh DESC, app LIMIT -1 OFFSET %1)"
    " WHERE true ON CONFLICT(hour, app) DO UPDATE SET wh = wh + excluded.wh, cpu_s = cpu_s + excluded.cpu_s")
    .arg(HistoryDatabase::kAppsPerHour);
const QString kDropFolded = QStringLiteral(
    "DELETE FROM app_hour WHERE hour = ? AND app <> 'Other' AND app NOT IN"
    " (SELECT app FROM app_hour WHERE hour = ? AND app <> 'Other' ORDER BY wh DESC, app LIMIT %1)")
    .arg(HistoryDatabase::kAppsPerHour);

QVariant optionalValue(const std::optional<int> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType::fromType<int>());
}

QVariant optionalValue(const std::optional<double> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType::fromType<double>());
}

QString uniqueConnectionName()
{
    static std::atomic<int> next{0};
    return QStringLiteral("pendrapro.history.%1").arg(next++);
}

int primaryCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xff;
}

bool isDamage(const QSqlError &error)
{
    const int code = primaryCode(error);
    return code == kSqliteCorrupt || code == kSqliteNotADatabase;
}

} // namespace

HistoryDatabase::HistoryDatabase(QString path, Access access, std::function<double()> nowSeconds,
                                 qint64 maxFileBytes)
    : m_path(std::move(path))
    , m_access(access)
    , m_now(std::move(nowSeconds))
    , m_maxFileBytes(maxFileBytes)
    , m_connection(uniqueConnectionName())
{
    if (open() != OpenOutcome::damaged || m_access == Access::readOnly)
        return;
    moveAside();
    open();
}

HistoryDatabase::~HistoryDatabase()
{
    close();
}

HistoryDatabase::OpenOutcome HistoryDatabase::open()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        qCWarning(lcHistory) << "no SQLite driver for Qt (libqt6sql6-sqlite): history is off";
        return OpenOutcome::failed;
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(m_path);
    if (m_access == Access::readOnly)
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    const OpenOutcome outcome =
        m_db.open() ? check() : (isDamage(m_db.lastError()) ? OpenOutcome::damaged : OpenOutcome::failed);
    m_open = outcome == OpenOutcome::opened;
    if (!m_open)
        close();
    return outcome;
}

// Damage shows only when pages are read: the check reads them all. Only
// damage condemns the file; a locked or unwritable one is left for later.
HistoryDatabase::OpenOutcome HistoryDatabase::check()
{
    QSqlQuery query(m_db);
    const auto failedWith = [&query] { return isDamage(query.lastError()) ? OpenOutcome::damaged : OpenOutcome::failed; };
    // The page limit makes SQLite answer "full" (13) past the size cap.
    if (m_access == Access::readWrite) {
        for (const QString &pragma :
             {QStringLiteral("PRAGMA journal_mode = WAL"), QStringLiteral("PRAGMA synchronous = NORMAL"),
              QStringLiteral("PRAGMA max_page_count = %1").arg(std::max<qint64>(m_maxFileBytes / kPageBytes, 8))}) {
            if (!query.exec(pragma))
                return failedWith();
        }
    }
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        return failedWith();
    if (!query.next() || query.value(0).toString() != QStringLiteral("ok"))
        return OpenOutcome::damaged;
    query.finish();
    if (m_access == Access::readOnly)
        return OpenOutcome::opened;
    for (const QString &statement : kSchema) {
        if (!query.exec(statement))
            return failedWith();
    }
    return OpenOutcome::opened;
}

void HistoryDatabase::close()
{
    m_open = false;
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

void HistoryDatabase::moveAside()
{
    const QString stamp = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(m_now()))
                              .toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString aside = m_path + QStringLiteral(".damaged-") + stamp;
    QFile::rename(m_path, aside);
    for (const QString &companion : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::rename(m_path + companion, aside + companion);
    qCWarning(lcHistory) << "history file was damaged; moved to" << aside << "and started afresh";
}

bool HistoryDatabase::exec(const QString &statement)
{
    QSqlQuery query(m_db);
    return query.exec(statement);
}

HistoryDatabase::WriteResult HistoryDatabase::failure(const QSqlError &error)
{
    m_db.rollback();
    const int code = primaryCode(error);
    if (code == kSqliteFull)
        return WriteResult::diskFull;
    if (code == kSqliteCorrupt || code == kSqliteNotADatabase) {
        close();
        moveAside();
        open();
    }
    return WriteResult::failed;
}

HistoryDatabase::WriteResult HistoryDatabase::write(const HistoryBatch &batch, qint64 currentHourStart,
                                                   std::optional<int> trimToAppDays)
{
    if (!m_open || m_access == Access::readOnly)
        return WriteResult::failed;
    if (!m_db.transaction())
        return failure(m_db.lastError());
    QSqlQuery addApp(m_db);
    addApp.prepare(kAddAppHour);
    qint64 firstHour = currentHourStart;
    for (const AppHourEnergy &row : batch.apps) {
        addApp.addBindValue(row.hourStart);
        addApp.addBindValue(row.app);
        addApp.addBindValue(row.wattHours);
        addApp.addBindValue(row.cpuSeconds);
        if (!addApp.exec())
            return failure(addApp.lastError());
        firstHour = std::min(firstHour, row.hourStart);
    }
    QSqlQuery addDay(m_db);
    addDay.prepare(kAddDay);
    for (const BatteryDay &day : batch.days) {
        addDay.addBindValue(day.day.toString(kDayFormat));
        addDay.addBindValue(optionalValue(day.fullChargeMah));
        addDay.addBindValue(optionalValue(day.designMah));
        addDay.addBindValue(optionalValue(day.cycles));
        addDay.addBindValue(optionalValue(day.minTemperatureC));
        addDay.addBindValue(optionalValue(day.maxTemperatureC));
        addDay.addBindValue(day.minutesOnBattery);
        addDay.addBindValue(day.drawnWattHours);
        addDay.addBindValue(day.chargeSessions);
        if (!addDay.exec())
            return failure(addDay.lastError());
    }
    // The first write after opening also folds hours a killed run left whole.
    const qint64 foldFrom = m_foldedSinceOpen ? firstHour : 0;
    if (!foldHours(foldFrom, currentHourStart))
        return failure(m_db.lastError());
    if (trimToAppDays && !deleteOld(double(currentHourStart), *trimToAppDays))
        return failure(m_db.lastError());
    if (!m_db.commit())
        return failure(m_db.lastError());
    m_foldedSinceOpen = true;
    return WriteResult::written;
}

bool HistoryDatabase::foldHours(qint64 fromHour, qint64 beforeHour)
{
    QSqlQuery crowded(m_db);
    crowded.prepare(kCrowdedHours);
    crowded.addBindValue(fromHour);
    crowded.addBindValue(beforeHour);
    if (!crowded.exec())
        return false;
    QList<qint64> hours;
    while (crowded.next())
        hours << crowded.value(0).toLongLong();
    QSqlQuery fold(m_db);
    QSqlQuery drop(m_db);
    if (!fold.prepare(kFoldIntoOther) || !drop.prepare(kDropFolded))
        return false;
    for (qint64 hour : hours) {
        fold.bindValue(0, hour);
        fold.bindValue(1, hour);
        drop.bindValue(0, hour);
        drop.bindValue(1, hour);
        if (!fold.exec() || !drop.exec())
            return false;
    }
    return true;
}

void HistoryDatabase::trim(double now, int appRetentionDays)
{
    if (m_open && m_access == Access::readWrite)
        deleteOld(now, appRetentionDays);
}

bool HistoryDatabase::deleteOld(double now, int appRetentionDays)
{
    const qint64 appCutoff = static_cast<qint64>(now) - qint64(appRetentionDays) * 86400;
    const QDate dayCutoff = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(now)).date().addDays(-kDayRetentionDays);
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("DELETE FROM app_hour WHERE hour < ?"));
    query.addBindValue(appCutoff - appCutoff % 3600);
    if (!query.exec())
        return false;
    query.prepare(QStringLiteral("DELETE FROM battery_day WHERE day < ?"));
    query.addBindValue(dayCutoff.toString(kDayFormat));
    return query.exec();
}

void HistoryDatabase::clear()
{
    if (!m_open || m_access == Access::readOnly)
        return;
    exec(QStringLiteral("DELETE FROM app_hour"));
    exec(QStringLiteral("DELETE FROM battery_day"));
    // The removed rows' pages are handed back so nothing of them stays on disk.
    exec(QStringLiteral("VACUUM"));
}

AppEnergyReport HistoryDatabase::apps(qint64 sinceHour, QDate sinceDay)
{
    AppEnergyReport report;
    if (!m_open)
        return report;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT app, total(wh), total(cpu_s) FROM app_hour WHERE hour >= ?"
                                 " GROUP BY app ORDER BY 2 DESC, app"));
    query.addBindValue(sinceHour);
    query.exec();
    AppEnergyTotal other{kOtherApps, 0, 0};
    while (query.next()) {
        AppEnergyTotal total{query.value(0).toString(), query.value(1).toDouble(), query.value(2).toDouble()};
        if (total.app != kOtherApps && report.apps.size() < kAppsPerHour) {
            report.apps << total;
        } else {
            other.wattHours += total.wattHours;
            other.cpuSeconds += total.cpuSeconds;
        }
    }
    if (other.wattHours > 0 || other.cpuSeconds > 0)
        report.apps << other;
    query.prepare(QStringLiteral("SELECT total(drawn_wh) FROM battery_day WHERE day >= ?"));
    query.addBindValue(sinceDay.toString(kDayFormat));
    if (query.exec() && query.next())
        report.batteryWattHours = query.value(0).toDouble();
    return report;
}

QList<HealthPoint> HistoryDatabase::health()
{
    QList<HealthPoint> points;
    if (!m_open)
        return points;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.exec(QStringLiteral("SELECT day, 100.0 * full_mah / design_mah, cycles FROM battery_day"
                              " WHERE full_mah IS NOT NULL AND design_mah > 0 ORDER BY day"));
    while (query.next()) {
        HealthPoint point;
        point.day = QDate::fromString(query.value(0).toString(), kDayFormat);
        point.healthPercent = query.value(1).toDouble();
        if (!query.value(2).isNull())
            point.cycles = query.value(2).toInt();
        points << point;
    }
    return points;
}
