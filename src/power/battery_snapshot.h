#pragma once

#include "power/bat_snap.h"
#include "power/snapshot_source.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class PowerSourceList;
class SmartBatteryRegistry;
class ToolRunner;

// Reads every battery source and merges them. Stateless: each call copies the
// power sources and looks the registry entry up afresh, once for all three
// registry readers. Runs on the power
// store's work queue; the tools may block it for up to their time limit.
class BatterySnapshot final : public SnapshotSource
{
public:
    BatterySnapshot(PowerSourceList &sources, SmartBatteryRegistry &registry, ToolRunner &tools);

    BatSnap readSnapshot(bool crossCheck) override;
    // Every reading taken for one snapshot, in reading order.
    QList<BatSourceReading> readAll(bool crossCheck);

    BatSourceReading readPowerSources();
    BatSourceReading readPmset();
    BatSourceReading readIoreg();

    // The tool's standard output, or absent when it cannot be run.
    std::optional<QString> runTool(const QString &path, const QStringList &arguments);

private:
    PowerSourceList &m_sources;
    SmartBatteryRegistry &m_registry;
    ToolRunner &m_tools;
};
