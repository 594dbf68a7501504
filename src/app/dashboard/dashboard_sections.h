#pragma once

#include "energy/proc_energy.h"
#include "energy/why_drain.h"
#include "power/bat_snap.h"

#include <QIcon>
#include <QWidget>

class AppIconLookup;
class MonitorRow;
class PanelActions;
class PanelDetailRow;
class PowerDistributionView;
class PowerStore;
class QLabel;
class QVBoxLayout;
class Sparkline;
class StatusKVRow;

// The contents of the dashboard's sections. Each builds its rows once; the
// setters change only what differs. Rows carry object names for tests and
// accessibility tools.

// The power source, the battery's charge or discharge rate, the power chart
// and the power distribution.
class PowerSectionContent : public QWidget
{
    Q_OBJECT

public:
    explicit PowerSectionContent(const PowerStore &power, QWidget *parent = nullptr);

    void refresh();
    void setShowChart(bool show);
    void setShowDistribution(bool show);
    void setCompact(bool compact);

private:
    void updateVisibility();

    const PowerStore &m_power;
    StatusKVRow *m_source;
    StatusKVRow *m_batteryPower;
    QWidget *m_chart;
    QLabel *m_chartLabel;
    QLabel *m_chartValue;
    Sparkline *m_spark;
    PowerDistributionView *m_distribution;
    bool m_showChart = false;
    bool m_showDistribution = true;
};

// "Low Power" on or off and the way to the system's battery settings.
class EnergyModeContent : public QWidget
{
    Q_OBJECT

public:
    explicit EnergyModeContent(PanelActions &actions, QWidget *parent = nullptr);

    void setLowPower(bool on);

private:
    MonitorRow *m_lowPower;
};

// One listed process: its icon, name, power label and share, with a bar of
// the share below.
class AppShareRow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 34; // px

    AppShareRow(const ProcEnergy &process, const QIcon &icon, QWidget *parent = nullptr);

    QString name() const { return m_process.name; }
    QString powerLabel() const;
    QString shareText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ProcEnergy m_process;
    QIcon m_icon;
};

// Every process the energy store ranks, with its share.
class AppListView : public QWidget
{
    Q_OBJECT

public:
    explicit AppListView(AppIconLookup &icons, QWidget *parent = nullptr);

    QList<AppShareRow *> rows() const;
    void setApps(const QList<ProcEnergy> &apps);

private:
    AppIconLookup &m_icons;
    QVBoxLayout *m_layout;
    QList<ProcEnergy> m_apps;
};

// The why-drain details: the missing-history hint, or the drop and the
// culprits.
class WhyDetailView : public QWidget
{
    Q_OBJECT

public:
    explicit WhyDetailView(QWidget *parent = nullptr);

    void setWhy(const WhyDrain &why);

private:
    QWidget *m_noHistory;
    PanelDetailRow *m_drop;
    QWidget *m_culprits;
    QVBoxLayout *m_culpritLayout;
};

// Cycle count and battery capacity, and a line per pack when the battery is
// several.
class HealthContent : public QWidget
{
    Q_OBJECT

public:
    explicit HealthContent(const PowerStore &power, QWidget *parent = nullptr);

    void refresh();

private:
    void showPacks(const QList<BatteryPack> &packs);

    const PowerStore &m_power;
    StatusKVRow *m_cycles;
    StatusKVRow *m_capacity;
    QVBoxLayout *m_packRows;
    QList<BatteryPack> m_shownPacks;
};
