#include "history/history_store.h"

#include "history/history_database.h"
#include "platform/clock.h"
#include "platform/defaults.h"
#include "platform/main_thread.h"
#include "platform/serial_queue.h"

#include <cmath>

namespace {

int validRetention(long long days)
{
    return days == HistoryStore::kShortAppRetentionDays ? HistoryStore::kShortAppRetentionDays
                                                        : HistoryStore::kLongAppRetentionDays;
}

qint64 hourStartOf(double seconds)
{
    return static_cast<qint64>(std::floor(seconds / 3600)) * 3600;
}

} // namespace

HistoryStore::HistoryStore(QString path, Defaults &defaults, const Clock &clock, QObject *parent)
    : HistoryStore(std::move(path), HistoryDatabase::kMaxFileBytes, defaults, clock, parent)
{
}

HistoryStore::HistoryStore(QString path, qint64 maxFileBytes, Defaults &defaults, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_clock(clock)
    , m_appRetentionDays(validRetention(defaults.intValue(kRetentionKey).value_or(kLongAppRetentionDays)))
    , m_queue(std::make_unique<SerialQueue>("pendrapro.history"))
{
    m_queue->post([this, path = std::move(path), maxFileBytes, now = clock.now()] {
        m_jobNow = now;
        m_database = std::make_unique<HistoryDatabase>(path, HistoryDatabase::Access::readWrite,
                                                       [this] { return m_jobNow; }, maxFileBytes);
    });
    refreshLastDayApps();
}

HistoryStore::~HistoryStore()
{
    m_queue->post([this] { m_database.reset(); });
    m_queue.reset();
}

void HistoryStore::run(std::function<void(HistoryDatabase &, double now)> job)
{
    m_queue->post([this, job = std::move(job), now = m_clock.now()] {
        m_jobNow = now;
        job(*m_database, now);
    });
}

void HistoryStore::setNote(const QString &note)
{
    if (note == m_note)
        return;
    m_note = note;
    emit noteChanged();
}

void HistoryStore::setAppRetentionDays(int days)
{
    const int valid = validRetention(days);
    m_defaults.setInt(kRetentionKey, valid);
    if (valid == m_appRetentionDays)
        return;
    m_appRetentionDays = valid;
    run([valid](HistoryDatabase &database, double now) { database.trim(now, valid); });
    QPointer<HistoryStore> self(this);
    m_queue->post([self] { postToMain(self, [](HistoryStore *store) { emit store->changed(); }); });
}

void HistoryStore::write(HistoryBatch batch)
{
    if (batch.isEmpty())
        return;
    const double now = m_clock.now();
    // Trims are cheap but not free: at most one an hour, after a write.
    const bool trim = now - m_lastTrim >= kTrimIntervalSeconds || now < m_lastTrim;
    if (trim)
        m_lastTrim = now;
    QPointer<HistoryStore> self(this);
    run([self, batch = std::move(batch), trim, retention = m_appRetentionDays](HistoryDatabase &database,
                                                                               double now) {
        const HistoryDatabase::WriteResult result =
            database.write(batch, hourStartOf(now), trim ? std::optional<int>(retention) : std::nullopt);
        postToMain(self, [result](HistoryStore *store) {
            if (result == HistoryDatabase::WriteResult::diskFull) {
                store->setNote(kDiskFullNote);
                return;
            }
            if (result == HistoryDatabase::WriteResult::written)
                store->setNote(QString());
            store->refreshLastDayApps();
            emit store->changed();
        });
    });
}

void HistoryStore::clear()
{
    QPointer<HistoryStore> self(this);
    run([self](HistoryDatabase &database, double) {
        database.clear();
        postToMain(self, [](HistoryStore *store) {
            store->m_lastDayApps.clear();
            emit store->changed();
        });
    });
}

void HistoryStore::waitForWrites()
{
    m_queue->sync([] {});
}

void HistoryStore::loadApps(int days, QObject *receiver, std::function<void(const AppEnergyReport &)> done)
{
    loadSpan(HistorySpan::lastDays(m_clock.now(), days), receiver, std::move(done));
}

void HistoryStore::loadSpan(HistorySpan span, QObject *receiver, std::function<void(const AppEnergyReport &)> done)
{
    QPointer<QObject> target(receiver);
    run([target, span, done = std::move(done)](HistoryDatabase &database, double) {
        postToMain(target, [report = database.apps(span.sinceHour, span.sinceDay), done](QObject *) {
            done(report);
        });
    });
}

void HistoryStore::loadHealth(QObject *receiver, std::function<void(const QList<HealthPoint> &)> done)
{
    QPointer<QObject> target(receiver);
    run([target, done = std::move(done)](HistoryDatabase &database, double) {
        postToMain(target, [points = database.health(), done](QObject *) { done(points); });
    });
}

void HistoryStore::refreshLastDayApps()
{
    loadSpan(HistorySpan::last24Hours(m_clock.now()), this,
             [this](const AppEnergyReport &report) { m_lastDayApps = report.apps; });
}
