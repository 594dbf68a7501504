#include "energy/process_energy_store.h"

#include "energy/top_process_sink.h"
#include "platform/clock.h"
#include "platform/main_thread.h"
#include "platform/serial_queue.h"

#include <cmath>
#include <limits>
#include <unistd.h>

namespace {

// Changes below these do not justify a redraw of the lists.
constexpr double kWattsTolerance = 0.15;
constexpr double kCpuPointsTolerance = 2.0;

} // namespace

bool isSameTopList(const QList<ProcEnergy> &current, const QList<ProcEnergy> &next)
{
    if (current.size() != next.size())
        return false;
    for (qsizetype i = 0; i < current.size(); ++i) {
        if (current[i].id != next[i].id
            || !(std::fabs(current[i].estimatedWatts - next[i].estimatedWatts) < kWattsTolerance)
            || !(std::fabs(current[i].cpuPercent - next[i].cpuPercent) < kCpuPointsTolerance))
            return false;
    }
    return true;
}

ProcessEnergyStore::ProcessEnergyStore(const ProcessTable &table, const Clock &clock, PowerReader power,
                                       TopProcessSink *topSink, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_power(std::move(power))
    , m_topSink(topSink)
    , m_timer(this)
    , m_soonTimer(this)
    , m_lastTopNote(-std::numeric_limits<double>::infinity())
    , m_attribution(table, static_cast<int>(::getpid()), clock.uptime())
    , m_queue(std::make_unique<SerialQueue>("pendrapro.proc"))
{
    m_timer.setObjectName(QStringLiteral("processSampleTimer"));
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ProcessEnergyStore::sample);
    m_soonTimer.setObjectName(QStringLiteral("processPassSoonTimer"));
    m_soonTimer.setSingleShot(true);
    connect(&m_soonTimer, &QTimer::timeout, this, &ProcessEnergyStore::sample);
}

ProcessEnergyStore::~ProcessEnergyStore()
{
    m_stopping = true;
    m_queue.reset();
}

void ProcessEnergyStore::start()
{
    m_started = true;
    if (!running())
        return;
    scheduleTimer();
    m_soonTimer.start(kFirstPassDelay);
}

void ProcessEnergyStore::setFastMode(bool fast)
{
    if (fast == m_fastMode)
        return;
    m_fastMode = fast;
    if (!running())
        return;
    scheduleTimer();
    if (fast)
        m_soonTimer.start(kFastModeExtraPassDelay);
}

void ProcessEnergyStore::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (paused) {
        m_timer.stop();
        m_soonTimer.stop();
        if (m_topSink)
            m_topSink->forgetTop();
        return;
    }
    if (!m_started)
        return;
    scheduleTimer();
    // The pass covers the whole pause, so the list is a fair average at once.
    sample();
}

void ProcessEnergyStore::scheduleTimer()
{
    m_timer.stop();
    m_timer.start(m_fastMode ? kFastInterval : kNormalInterval);
}

void ProcessEnergyStore::sample()
{
    if (m_sampleInFlight)
        return;
    m_sampleInFlight = true;
    const bool fast = m_fastMode;
    const double watts = attributableWatts(m_power());
    QPointer<ProcessEnergyStore> self(this);
    m_queue->post([this, self, fast, watts] {
        if (m_stopping)
            return;
        QList<ProcEnergy> list = m_attribution.runPass(m_clock.uptime(), fast, watts);
        postToMain(self, [list = std::move(list)](ProcessEnergyStore *store) {
            store->publishTop(list);
            store->m_sampleInFlight = false;
        });
    });
}

void ProcessEnergyStore::publishTop(const QList<ProcEnergy> &list)
{
    if (!isSameTopList(m_top, list)) {
        m_top = list;
        emit topChanged();
    }
    emit passPublished(list);
    const double now = m_clock.uptime();
    if (!list.isEmpty() && now - m_lastTopNote >= kTopNoteIntervalSeconds) {
        m_lastTopNote = now;
        if (m_topSink)
            m_topSink->noteTop(list.first().name, list.first().energyScore, list.first().cpuPercent);
    }
}
