#include "energy/drain_log.h"

#include "energy/log_file.h"
#include "platform/clock.h"
#include "platform/defaults.h"
#include "platform/paths.h"
#include "platform/serial_queue.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <random>

namespace {

const QString kRetentionKey = QStringLiteral("pendrapro.retentionDays");
constexpr double kSecondsPerDay = 86400;

} // namespace

DrainLog::RandomInt DrainLog::systemRandom()
{
    auto engine = std::make_shared<std::mt19937>(std::random_device{}());
    return [engine](int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(*engine); };
}

DrainLog::DrainLog(QString filePath, Defaults &defaults, const Clock &clock, RandomInt random, QObject *parent)
    : QObject(parent)
    , m_filePath(std::move(filePath))
    , m_defaults(defaults)
    , m_clock(clock)
    , m_random(std::move(random))
    , m_retentionDays(storedRetentionDays(defaults))
    , m_queue(std::make_unique<SerialQueue>("pendrapro.drainlog"))
{
}

DrainLog::~DrainLog()
{
    m_queue.reset();
}

int DrainLog::storedRetentionDays(const Defaults &defaults)
{
    const auto stored = defaults.intValue(kRetentionKey);
    if (!stored || *stored <= 0)
        return kDefaultRetentionDays;
    return static_cast<int>(std::min<long long>(*stored, kMaxRetentionDays));
}

void DrainLog::setRetentionDays(int days)
{
    const int clamped = std::clamp(days, kMinRetentionDays, kMaxRetentionDays);
    if (m_retentionDays.exchange(clamped) != clamped)
        emit retentionDaysChanged();
    m_defaults.setInt(kRetentionKey, clamped);
    m_queue->post([this] { trim(); });
}

void DrainLog::logPower(int levelPercent, double packageWatts, double chargeWatts, bool charging)
{
    // The top process as of this call, so records read in call order.
    QString topName;
    double topScore = 0;
    {
        std::lock_guard lock(m_topMutex);
        topName = m_lastTopName;
        topScore = m_lastTopScore;
    }
    append([=](double now) {
        return powerRecordLine(now, levelPercent, packageWatts, chargeWatts, charging, topName, topScore);
    });
}

void DrainLog::noteTop(const QString &name, double score, double cpuPercent)
{
    {
        std::lock_guard lock(m_topMutex);
        m_lastTopName = name;
        m_lastTopScore = score;
    }
    append([=](double now) { return procRecordLine(now, name, score, cpuPercent); });
}

void DrainLog::forgetTop()
{
    std::lock_guard lock(m_topMutex);
    m_lastTopName.clear();
    m_lastTopScore = 0;
}

void DrainLog::logEvent(DrainEvent event)
{
    append([name = drainEventName(event)](double now) { return eventRecordLine(now, name); });
}

void DrainLog::logPackChange()
{
    logEvent(DrainEvent::BatteryPackChange);
}

void DrainLog::clearHistory()
{
    m_queue->post([this] { QFile::remove(m_filePath); });
}

std::function<WhyDrain()> DrainLog::whyDrainAnalysis() const
{
    return [path = m_filePath, &clock = m_clock] {
        const auto text = LogFile::readAll(path);
        if (!text)
            return whyDrainWithoutHistory();
        return analyseDrainLog(*text, clock.now());
    };
}

QString DrainLog::lastTopName() const
{
    std::lock_guard lock(m_topMutex);
    return m_lastTopName;
}

double DrainLog::lastTopScore() const
{
    std::lock_guard lock(m_topMutex);
    return m_lastTopScore;
}

void DrainLog::waitForWrites()
{
    m_queue->sync([] {});
}

void DrainLog::append(std::function<QByteArray(double now)> buildLine)
{
    m_queue->post([this, buildLine = std::move(buildLine)] {
        LogFile::appendLine(m_filePath, buildLine(m_clock.now()));
        if (m_random(kTrimOneIn) == 0)
            trim();
    });
}

void DrainLog::trim()
{
    auto text = LogFile::readAll(m_filePath);
    if (!text)
        return;
    const double cutoff = m_clock.now() - m_retentionDays.load() * kSecondsPerDay;
    if (keepRecordsSince(*text, cutoff))
        LogFile::replaceAtomically(m_filePath, *text);
    LogFile::removeStaleTemporaries(m_filePath);
}
