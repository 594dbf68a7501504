// pendrapro-probe: prints what the app reads about the battery on this machine.

#include "platform/energy_counters.h"
#include "platform/power_sources.h"
#include "platform/registry.h"
#include "platform/system_backends.h"
#include "platform/tool_runner.h"
#include "power/battery_merge.h"
#include "power/battery_snapshot.h"
#include "platform/paths.h"
#include "probe/history_report.h"
#include "probe/probe_report.h"
#include "probe/probe_sections.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

// A recorded tree has no power-source service to go with it.
class NoPowerSources final : public PowerSourceList
{
public:
    QList<PowerSourceDescription> copyPowerSources() override { return {}; }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pendrapro-probe"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PENDRA_RUNNING_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints every battery source's reading and the merged battery snapshot, as Pendra Pro sees them.\n"
        "Sources: the power-source service (UPower on the system bus), the smart-battery registry\n"
        "(/sys/class/power_supply) and the pmset and ioreg tools (absent on Linux)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption jsonOption(QStringLiteral("json"), QStringLiteral("Print JSON instead of text."));
    const QCommandLineOption sysfsOption(
        QStringLiteral("sysfs-root"),
        QStringLiteral("Read power supplies from DIR/class/power_supply instead of /sys, for a recorded tree. "
                       "UPower is not asked then."),
        QStringLiteral("DIR"));
    const QCommandLineOption pollsOption(
        QStringLiteral("polls"),
        QStringLiteral("Poll the power store N times, one second apart, and print its published fields "
                       "(default 2; 0 leaves the store out)."),
        QStringLiteral("N"), QStringLiteral("2"));
    const QCommandLineOption historyOption(
        QStringLiteral("history"),
        QStringLiteral("Print the recorded app energy and battery health from the history file instead, "
                       "without changing it."));
    const QCommandLineOption daysOption(QStringLiteral("days"),
                                        QStringLiteral("With --history: the days of app energy, today "
                                                       "included (default 7)."),
                                        QStringLiteral("N"), QStringLiteral("7"));
    parser.addOption(jsonOption);
    parser.addOption(sysfsOption);
    parser.addOption(pollsOption);
    parser.addOption(historyOption);
    parser.addOption(daysOption);
    parser.process(app);

    if (parser.isSet(historyOption)) {
        bool daysOk = false;
        const int days = parser.value(daysOption).toInt(&daysOk);
        if (!daysOk || days < 1 || days > 3660) {
            QTextStream(stderr) << "pendrapro-probe: --days takes a whole number from 1 to 3660\n";
            return 2;
        }
        QString output;
        const bool read = historyReport(Paths::supportDir() + QStringLiteral("/history.sqlite"), days,
                                        parser.isSet(jsonOption), output);
        QTextStream(read ? stdout : stderr) << output;
        return read ? 0 : 1;
    }

    bool pollsOk = false;
    const int polls = parser.value(pollsOption).toInt(&pollsOk);
    if (!pollsOk || polls < 0 || polls > 1000) {
        QTextStream(stderr) << "pendrapro-probe: --polls takes a whole number from 0 to 1000\n";
        return 2;
    }

    SystemBackends backends = makeSystemBackends();
    NoPowerSources noPowerSources;
    std::unique_ptr<SmartBatteryRegistry> recordedRegistry;
    PowerSourceList *sources = backends.powerSources.get();
    SmartBatteryRegistry *registry = backends.batteryRegistry.get();
    if (parser.isSet(sysfsOption)) {
        recordedRegistry = makeSmartBatteryRegistry(parser.value(sysfsOption));
        registry = recordedRegistry.get();
        sources = &noPowerSources;
    }

    // The cross-check reads every source, the tools included.
    BatterySnapshot snapshot(*sources, *registry, ToolRunner::system());
    const QList<BatSourceReading> readings = snapshot.readAll(true);

    ProbeReport report;
    report.addReadings(readings);
    report.addSnapshot(mergeBatteryReadings(readings));
    report.addSection(QStringLiteral("energy"), QStringLiteral("Energy counters"), energySection(*backends.energyCounters));
    if (polls > 0)
        report.addSection(QStringLiteral("powerStore"),
                          QStringLiteral("Power store after %1 poll(s)").arg(polls),
                          powerStoreSection(snapshot, backends, polls));

    QTextStream out(stdout);
    if (parser.isSet(jsonOption))
        out << report.json();
    else
        out << report.text() << '\n';
    return 0;
}
