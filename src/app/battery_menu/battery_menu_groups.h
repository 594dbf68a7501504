#pragma once

#include "energy/proc_energy.h"
#include "energy/why_drain.h"

#include <QWidget>

class AppIconLookup;
class ChargeLimitController;
class MenuPanelModel;
class PanelDetailRow;
class PanelMainRow;
class PanelMenuAction;
class PanelSwitch;
class QLabel;
class QSlider;
class QVBoxLayout;
class MinimalButton;
class Sparkline;

// The groups of the battery menu, top to bottom. Each builds its rows once and
// then only changes the texts and visibility that its sources report as
// changed. Rows carry object names so that tests and accessibility tools can
// find them.

// "Battery", "App Mode" and the time row.
class BatteryStatusGroup : public QWidget
{
    Q_OBJECT

public:
    BatteryStatusGroup(const MenuPanelModel &model, const ChargeLimitController &charge, QWidget *parent = nullptr);

private:
    void updateRows();

    const MenuPanelModel &m_model;
    const ChargeLimitController &m_charge;
    PanelMainRow *m_battery;
    PanelMainRow *m_appMode;
    PanelMainRow *m_time;
};

// Power source, battery details (and a line per pack when the battery is
// several), Low Power Mode, power draw and its recent history.
class BatteryDetailGroup : public QWidget
{
    Q_OBJECT

public:
    explicit BatteryDetailGroup(const MenuPanelModel &model, QWidget *parent = nullptr);

private:
    void updatePowerSource();
    void updateBatteryDetails();
    void updateBatteryPacks();
    void updateLowPower();
    void updatePowerDraw();
    void updateSpark();

    const MenuPanelModel &m_model;
    PanelDetailRow *m_powerSource;
    PanelDetailRow *m_cycleCount;
    PanelDetailRow *m_capacity;
    QVBoxLayout *m_packRows;
    PanelDetailRow *m_lowPower;
    PanelDetailRow *m_powerDraw;
    QWidget *m_history;
    QLabel *m_sparkLabel;
    Sparkline *m_spark;
};

// The "Manage charging" switch, the limit slider and the override buttons.
class ChargeManagementGroup : public QWidget
{
    Q_OBJECT

public:
    explicit ChargeManagementGroup(ChargeLimitController &charge, QWidget *parent = nullptr);

private:
    void updateEnabled();
    void updateLimit();
    void updateOverrides();
    void updateNotice();

    ChargeLimitController &m_charge;
    PanelSwitch *m_switch;
    QLabel *m_notice;
    QWidget *m_limitBox;
    QLabel *m_limitValue;
    QSlider *m_slider;
    MinimalButton *m_chargeToFull;
    MinimalButton *m_discharge;
    MinimalButton *m_stopOverride;
};

// One process in "High Energy Usage": icon, name and activity word.
class AppUsageRow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kIconSize = 24; // px

    explicit AppUsageRow(QWidget *parent = nullptr);

    QString name() const;
    QString activity() const;
    void display(const ProcEnergy &process, AppIconLookup &icons);

private:
    QLabel *m_icon;
    QLabel *m_name;
    QLabel *m_activity;
    QString m_iconKey;
};

// Up to five apps using the most energy; "Loading…" until the panel has
// loaded once, "None" after that.
class EnergyUsageGroup : public QWidget
{
    Q_OBJECT

public:
    EnergyUsageGroup(const MenuPanelModel &model, AppIconLookup &icons, QWidget *parent = nullptr);

    void setLoaded(bool loaded);

private:
    void updateRows();

    const MenuPanelModel &m_model;
    AppIconLookup &m_icons;
    QList<AppUsageRow *> m_rows;
    QLabel *m_placeholder;
    bool m_loaded = false;
};

// The last hour's why-drain answer: the summary and the leading culprit.
class WhyDrainGroup : public QWidget
{
    Q_OBJECT

public:
    explicit WhyDrainGroup(QWidget *parent = nullptr);

    void display(const WhyDrain &why);

private:
    QLabel *m_summary;
    PanelDetailRow *m_culprit;
};
