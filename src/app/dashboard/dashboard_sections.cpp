#include "app/dashboard/dashboard_sections.h"

#include "app/ui/app_icon_lookup.h"
#include "app/ui/menu_panel_rules.h"
#include "app/core/panel_actions.h"
#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "app/ui/pendra_status_copy.h"
#include "app/ui/sparkline.h"
#include "app/dashboard/dashboard_symbols.h"
#include "app/dashboard/share_row_painter.h"
#include "app/dashboard/dashboard_texts.h"
#include "app/dashboard/power_distribution_view.h"
#include "platform/format.h"
#include "power/battery_pack_text.h"
#include "power/power_store.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kChartHeight = 56; // px
constexpr double kShownWatts = 0.05; // W

QVBoxLayout *columnOf(QWidget *widget, int top = 0, int bottom = 0)
{
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, top, 0, bottom);
    layout->setSpacing(0);
    return layout;
}

QLabel *makeLabel(const QString &text, PanelStyle::TextRole role, QWidget *parent, const char *objectName)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    PanelStyle::apply(label, role);
    return label;
}

} // namespace

// ---- Power

PowerSectionContent::PowerSectionContent(const PowerStore &power, QWidget *parent)
    : QWidget(parent)
    , m_power(power)
    , m_source(new StatusKVRow(QStringLiteral("Power Source"), QString(), this))
    , m_batteryPower(new StatusKVRow(QStringLiteral("Battery Power"), QString(), this))
    , m_chart(new QWidget(this))
    , m_chartLabel(makeLabel(QString(), PanelStyle::TextRole::detail, m_chart, "chartLabel"))
    , m_chartValue(makeLabel(QString(), PanelStyle::TextRole::emphasized, m_chart, "chartValue"))
    , m_spark(new Sparkline(QColor::fromRgbF(1.0f, 0.8f, 0.12f), m_chart))
    , m_distribution(new PowerDistributionView(this))
{
    m_source->setObjectName(QStringLiteral("powerSourceRow"));
    m_batteryPower->setObjectName(QStringLiteral("batteryPowerRow"));
    m_chart->setObjectName(QStringLiteral("powerChart"));
    m_spark->setObjectName(QStringLiteral("powerSparkline"));
    m_spark->setFixedHeight(kChartHeight);
    m_distribution->setObjectName(QStringLiteral("powerDistribution"));

    auto *chartHeading = new QHBoxLayout;
    chartHeading->setContentsMargins(PanelStyle::kSideInset, 0, PanelStyle::kSideInset, 0);
    chartHeading->addWidget(m_chartLabel, 1);
    chartHeading->addWidget(m_chartValue);
    auto *chartColumn = columnOf(m_chart, 8, 6);
    chartColumn->setSpacing(6);
    chartColumn->addLayout(chartHeading);
    auto *sparkRow = new QHBoxLayout;
    sparkRow->setContentsMargins(PanelStyle::kSideInset, 0, PanelStyle::kSideInset, 0);
    sparkRow->addWidget(m_spark);
    chartColumn->addLayout(sparkRow);

    auto *layout = columnOf(this, 2, 0);
    layout->addWidget(m_source);
    layout->addWidget(m_batteryPower);
    layout->addWidget(m_chart);
    layout->addSpacing(6);
    layout->addWidget(m_distribution);
    refresh();
}

void PowerSectionContent::refresh()
{
    const PowerStore &p = m_power;
    m_source->setValue(MenuPanelRules::powerSourceWord(p.batteryPresent(), p.isCharging(), p.isOnAC()));
    m_batteryPower->setValue(DashboardTexts::watts(p.chargeWatts()));
    PanelStyle::setTextIfChanged(m_chartLabel, MenuPanelRules::sparkLabel(p.wattHistory().size()));
    PanelStyle::setTextIfChanged(m_chartValue, DashboardTexts::watts(p.packageWatts()));
    m_spark->setValues(p.wattHistorySpark());
    PowerDistribution distribution;
    distribution.cpu = p.cpuDomainWatts();
    distribution.gpu = p.gpuDomainWatts();
    distribution.ane = p.aneDomainWatts();
    distribution.dram = p.dramDomainWatts();
    distribution.other = p.otherDomainWatts();
    distribution.package = p.packageWatts();
    m_distribution->setDistribution(distribution);
    updateVisibility();
}

void PowerSectionContent::setShowChart(bool show)
{
    m_showChart = show;
    updateVisibility();
}

void PowerSectionContent::setShowDistribution(bool show)
{
    m_showDistribution = show;
    updateVisibility();
}

void PowerSectionContent::setCompact(bool compact)
{
    m_distribution->setCompact(compact);
}

void PowerSectionContent::updateVisibility()
{
    m_batteryPower->setVisible(m_power.batteryPresent() && m_power.chargeWatts() > kShownWatts);
    m_chart->setVisible(m_showChart);
    m_distribution->setVisible(m_showDistribution && m_power.hasPowerDistribution());
}

// ---- Energy Mode

EnergyModeContent::EnergyModeContent(PanelActions &actions, QWidget *parent)
    : QWidget(parent)
    , m_lowPower(new MonitorRow(QStringLiteral("Low Power"), QStringLiteral("Off"), PanelStyle::kSecondaryText, this))
{
    m_lowPower->setObjectName(QStringLiteral("lowPowerRow"));
    auto *settings = new MenuRowButton(QStringLiteral("Open Battery Settings…"),
                                       DashboardSymbols::icon(QStringLiteral("arrow.up.right"), PanelStyle::kAccent),
                                       std::nullopt, this);
    settings->setObjectName(QStringLiteral("batterySettingsAction"));
    connect(settings, &PanelClickableRow::triggered, this, [&actions] { actions.openBatterySettings(); });
    auto *layout = columnOf(this, 2, 0);
    layout->addWidget(m_lowPower);
    layout->addWidget(settings);
}

void EnergyModeContent::setLowPower(bool on)
{
    m_lowPower->setValue(on ? QStringLiteral("On") : QStringLiteral("Off"),
                         on ? PanelStyle::kWarning : PanelStyle::kSecondaryText);
}

// ---- What's using power

AppShareRow::AppShareRow(const ProcEnergy &process, const QIcon &icon, QWidget *parent)
    : QWidget(parent)
    , m_process(process)
    , m_icon(icon)
{
    setObjectName(QStringLiteral("appRow"));
    setFixedHeight(kHeight);
    setAccessibleName(process.name + QStringLiteral(", ") + powerLabel() + QStringLiteral(", ") + shareText());
}

QString AppShareRow::powerLabel() const
{
    return PendraStatusCopy::powerLabel(m_process.cpuPercent, m_process.estimatedWatts);
}

QString AppShareRow::shareText() const
{
    return DashboardTexts::shareText(m_process);
}

void AppShareRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = PanelStyle::kSideInset;
    constexpr int icon = 18, top = 4, line = 20;
    m_icon.paint(&painter, QRect(side, top + (line - icon) / 2, icon, icon));
    paintShareRow(painter, {side + icon + 8, width() - side, top, line, m_process.name, powerLabel(), shareText(),
                            m_process.powerShare, QColor::fromRgbF(0.35f, 0.75f, 1.0f)});
}

AppListView::AppListView(AppIconLookup &icons, QWidget *parent)
    : QWidget(parent)
    , m_icons(icons)
    , m_layout(columnOf(this, 4, 2))
{
    setObjectName(QStringLiteral("appList"));
}

QList<AppShareRow *> AppListView::rows() const
{
    return findChildren<AppShareRow *>(QString(), Qt::FindDirectChildrenOnly);
}

void AppListView::setApps(const QList<ProcEnergy> &apps)
{
    if (apps == m_apps)
        return;
    m_apps = apps;
    for (AppShareRow *row : rows())
        delete row;
    for (const ProcEnergy &process : apps)
        m_layout->addWidget(new AppShareRow(process, m_icons.iconFor(process.name, process.path), this));
}

// ---- Why did battery drop?

WhyDetailView::WhyDetailView(QWidget *parent)
    : QWidget(parent)
    , m_noHistory(new QWidget(this))
    , m_drop(new PanelDetailRow(QStringLiteral("Drop"), QString(), this))
    , m_culprits(new QWidget(this))
    , m_culpritLayout(columnOf(m_culprits))
{
    m_noHistory->setObjectName(QStringLiteral("noHistory"));
    auto *heading = makeLabel(DashboardTexts::kNotEnoughHistory, PanelStyle::TextRole::emphasized, m_noHistory,
                              "noHistoryHeading");
    auto *hint = makeLabel(PendraStatusCopy::kKeepOpenToLearn, PanelStyle::TextRole::detail, m_noHistory,
                           "noHistoryHint");
    hint->setWordWrap(true);
    auto *hintColumn = columnOf(m_noHistory, 4, 4);
    hintColumn->setContentsMargins(PanelStyle::kSideInset, 4, PanelStyle::kSideInset, 4);
    hintColumn->setSpacing(3);
    hintColumn->addWidget(heading);
    hintColumn->addWidget(hint);

    m_drop->setObjectName(QStringLiteral("dropRow"));
    m_culprits->setObjectName(QStringLiteral("culprits"));
    auto *layout = columnOf(this, 2, 2);
    layout->addWidget(m_noHistory);
    layout->addWidget(m_drop);
    layout->addWidget(m_culprits);
    setWhy(WhyDrain{});
}

void WhyDetailView::setWhy(const WhyDrain &why)
{
    const bool lacksHistory = DashboardTexts::lacksHistory(why);
    m_noHistory->setVisible(lacksHistory);
    m_drop->setVisible(!lacksHistory && why.dropPercent >= 1);
    m_drop->setValue(DashboardTexts::dropText(why));
    m_culprits->setVisible(!lacksHistory);
    while (QLayoutItem *item = m_culpritLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (lacksHistory)
        return;
    for (const DrainCulprit &culprit : DashboardTexts::listedCulprits(why)) {
        auto *row = new PanelDetailRow(culprit.name, culprit.note, m_culprits);
        row->setObjectName(QStringLiteral("culpritRow"));
        m_culpritLayout->addWidget(row);
    }
}

// ---- Health & cycles

HealthContent::HealthContent(const PowerStore &power, QWidget *parent)
    : QWidget(parent)
    , m_power(power)
    , m_cycles(new StatusKVRow(QStringLiteral("Cycle Count"), QString(), this))
    , m_capacity(new StatusKVRow(QStringLiteral("Battery Capacity"), QString(), this))
{
    m_cycles->setObjectName(QStringLiteral("cycleCountRow"));
    m_capacity->setObjectName(QStringLiteral("capacityRow"));
    auto *layout = columnOf(this, 2, 0);
    layout->addWidget(m_cycles);
    layout->addWidget(m_capacity);
    m_packRows = new QVBoxLayout;
    m_packRows->setContentsMargins(0, 0, 0, 0);
    m_packRows->setSpacing(0);
    layout->addLayout(m_packRows);
    refresh();
}

void HealthContent::refresh()
{
    const std::optional<int> cycles = m_power.cycleCount();
    const std::optional<int> health = m_power.healthPercent();
    m_cycles->setValue(cycles ? QString::number(*cycles) : QStringLiteral("—"));
    m_capacity->setValue(health ? formatPrintf("%d%%", *health) : QStringLiteral("—"));
    showPacks(m_power.batteryPacks());
}

void HealthContent::showPacks(const QList<BatteryPack> &packs)
{
    if (packs == m_shownPacks)
        return;
    m_shownPacks = packs;
    while (QLayoutItem *item = m_packRows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const BatteryPack &pack : packs) {
        auto *row = new StatusKVRow(pack.name, batteryPackSummary(pack), this);
        row->setObjectName(QStringLiteral("batteryPackRow"));
        m_packRows->addWidget(row);
    }
}
