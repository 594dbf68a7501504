#include "probe/probe_sections.h"

#include "platform/clock.h"
#include "platform/energy_counters.h"
#include "platform/power_mode.h"
#include "platform/system_backends.h"
#include "platform/system_info.h"
#include "power/ioreport_power_reader.h"
#include "power/power_store.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>

#include <chrono>
#include <optional>

using namespace std::chrono_literals;

namespace {

// The SoC reader averages over the time between samples and needs at least
// 150 ms of it.
constexpr auto kPollGap = 1s;
// A poll waits on the battery tools at most 5 s each.
constexpr auto kPollLimit = 15s;

template <typename T>
QJsonValue optionalValue(const std::optional<T> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonArray numbers(const QList<double> &values)
{
    QJsonArray array;
    for (double value : values)
        array.append(value);
    return array;
}

void spinFor(std::chrono::milliseconds duration)
{
    QDeadlineTimer deadline(duration);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, static_cast<int>(deadline.remainingTime()));
}

bool pollAndWait(PowerStore &store)
{
    store.poll();
    QDeadlineTimer deadline(kPollLimit);
    while (store.pollInFlight()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace

QList<ProbeField> energySection(EnergyCounters &counters)
{
    const std::optional<QList<EnergyChannel>> catalogue = counters.catalogue();
    QJsonArray channels;
    for (const EnergyChannel &channel : catalogue.value_or(QList<EnergyChannel>()))
        channels.append(channel.group + QStringLiteral(" / ") + channel.name + QStringLiteral(" (")
                        + (channel.unit.isEmpty() ? QStringLiteral("no unit") : channel.unit) + QLatin1Char(')'));

    const IOReportPowerReader reader(counters, Clock::system());
    return {
        {QStringLiteral("countersFound"), catalogue.has_value()},
        {QStringLiteral("channels"), channels},
        {QStringLiteral("readerAvailable"), reader.isAvailable()},
        {QStringLiteral("readerDisabled"), reader.permanentlyDisabled()},
        {QStringLiteral("subscribedChannels"), static_cast<int>(reader.channels().size())},
    };
}

QList<ProbeField> powerStoreSection(SnapshotSource &snapshots, const SystemBackends &backends, int polls)
{
    IOReportPowerReader reader(*backends.energyCounters, Clock::system());
    PowerStore store(Clock::system(), snapshots, &reader, *backends.systemInfo, *backends.powerMode);
    int completed = 0;
    for (int i = 0; i < polls; ++i) {
        if (i > 0)
            spinFor(kPollGap);
        if (!pollAndWait(store))
            break;
        ++completed;
    }

    return {
        {QStringLiteral("polls"), completed},
        {QStringLiteral("batteryPresent"), store.batteryPresent()},
        {QStringLiteral("levelPercent"), store.levelPercent()},
        {QStringLiteral("isCharging"), store.isCharging()},
        {QStringLiteral("isOnAC"), store.isOnAC()},
        {QStringLiteral("chargeWatts"), store.chargeWatts()},
        {QStringLiteral("packageWatts"), store.packageWatts()},
        {QStringLiteral("packageSource"), store.packageSource()},
        {QStringLiteral("cpuDomainWatts"), store.cpuDomainWatts()},
        {QStringLiteral("gpuDomainWatts"), store.gpuDomainWatts()},
        {QStringLiteral("aneDomainWatts"), store.aneDomainWatts()},
        {QStringLiteral("dramDomainWatts"), store.dramDomainWatts()},
        {QStringLiteral("otherDomainWatts"), store.otherDomainWatts()},
        {QStringLiteral("hasPowerDistribution"), store.hasPowerDistribution()},
        {QStringLiteral("batterySourcesUsed"), store.batterySourcesUsed()},
        {QStringLiteral("timeEstimateSource"), store.timeEstimateSource()},
        {QStringLiteral("pCoreShare"), store.pCoreShare()},
        {QStringLiteral("eCoreShare"), store.eCoreShare()},
        {QStringLiteral("cycleCount"), optionalValue(store.cycleCount())},
        {QStringLiteral("healthPercent"), optionalValue(store.healthPercent())},
        {QStringLiteral("capacityRaw"), optionalValue(store.capacityRaw())},
        {QStringLiteral("designCapacity"), optionalValue(store.designCapacity())},
        {QStringLiteral("timeText"), store.timeText()},
        {QStringLiteral("statusText"), store.statusText()},
        {QStringLiteral("remainingMinutes"), optionalValue(store.remainingMinutes())},
        {QStringLiteral("minutesIsLiveEstimate"), store.minutesIsLiveEstimate()},
        {QStringLiteral("wattHistory"), numbers(store.wattHistory())},
    };
}
