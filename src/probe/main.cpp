// pendrapro-probe: prints what the app reads about the battery on this machine.

#include "platform/power_sources.h"
#include "platform/registry.h"
#include "platform/system_backends.h"
#include "platform/tool_runner.h"
#include "power/battery_merge.h"
#include "power/battery_snapshot.h"
#include "probe/probe_report.h"

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

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints every battery source's reading and the merged battery snapshot, as Pendra Pro sees them.\n"
        "Sources: the power-source service (UPower on the system bus), the smart-battery registry\n"
        "(/sys/class/power_supply) and the pmset and ioreg tools (absent on Linux)."));
    parser.addHelpOption();
    const QCommandLineOption jsonOption(QStringLiteral("json"), QStringLiteral("Print JSON instead of text."));
    const QCommandLineOption sysfsOption(
        QStringLiteral("sysfs-root"),
        QStringLiteral("Read power supplies from DIR/class/power_supply instead of /sys, for a recorded tree. "
                       "UPower is not asked then."),
        QStringLiteral("DIR"));
    parser.addOption(jsonOption);
    parser.addOption(sysfsOption);
    parser.process(app);

    NoPowerSources noPowerSources;
    std::unique_ptr<SmartBatteryRegistry> recordedRegistry;
    PowerSourceList *sources = &systemPowerSources();
    SmartBatteryRegistry *registry = &systemSmartBatteryRegistry();
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

    QTextStream out(stdout);
    if (parser.isSet(jsonOption))
        out << report.json();
    else
        out << report.text() << '\n';
    return 0;
}
