#include "app/battery_menu/battery_menu_groups.h"

#include "app/ui/app_icon_lookup.h"
#include "app/battery_menu/battery_menu_texts.h"
#include "app/battery_menu/menu_panel_model.h"
#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "app/ui/pendra_status_copy.h"
#include "app/ui/sparkline.h"
#include "charge/charge_limit_controller.h"
#include "platform/format.h"
#include "power/battery_pack_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

using PanelStyle::TextRole;

namespace {

// Power draw at or below this reads as no measurement.
constexpr double kMinShownPowerDraw = 0.05; // W

QVBoxLayout *columnLayout(QWidget *group, int spacing = 0)
{
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

template <typename Row, typename... Args>
Row *addRow(QLayout *layout, QWidget *parent, const char *objectName, Args &&...args)
{
    auto *row = new Row(std::forward<Args>(args)..., parent);
    row->setObjectName(QString::fromLatin1(objectName));
    layout->addWidget(row);
    return row;
}

QLabel *wrappedLabel(QWidget *parent, TextRole role, const char *objectName)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setContentsMargins(PanelStyle::kSideInset, 2, PanelStyle::kSideInset, 2);
    PanelStyle::apply(label, role);
    return label;
}

QString limitText(double limitPercent)
{
    return formatPrintf("%lld%%", static_cast<long long>(roundHalfAway(limitPercent)));
}

} // namespace

BatteryStatusGroup::BatteryStatusGroup(const MenuPanelModel &model, const ChargeLimitController &charge,
                                       QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_charge(charge)
{
    QVBoxLayout *layout = columnLayout(this);
    m_battery = addRow<PanelMainRow>(layout, this, "batteryRow", QStringLiteral("Battery"), QString(), true);
    m_appMode = addRow<PanelMainRow>(layout, this, "appModeRow", QStringLiteral("App Mode"), QString(), false);
    m_time = addRow<PanelMainRow>(layout, this, "timeRow", QString(), QString(), false);

    for (auto signal : {&MenuPanelModel::levelPercentChanged, &MenuPanelModel::batteryPresentChanged,
                        &MenuPanelModel::isChargingChanged, &MenuPanelModel::isOnACChanged,
                        &MenuPanelModel::lowPowerChanged, &MenuPanelModel::timeDetailChanged})
        connect(&model, signal, this, &BatteryStatusGroup::updateRows);
    for (auto signal : {&ChargeLimitController::isEnabledChanged, &ChargeLimitController::forceFullChargeChanged,
                        &ChargeLimitController::forceDischargeChanged, &ChargeLimitController::statusChanged})
        connect(&charge, signal, this, &BatteryStatusGroup::updateRows);
    updateRows();
}

void BatteryStatusGroup::updateRows()
{
    const BatteryMenuTexts::BatteryState battery{m_model.batteryPresent(), m_model.isCharging(), m_model.isOnAC(),
                                                 m_model.levelPercent(), m_model.lowPower(), m_model.timeDetail()};
    const BatteryMenuTexts::ChargeState charge{m_charge.isEnabled(), m_charge.forceFullCharge(),
                                               m_charge.forceDischarge(), m_charge.status()};
    m_battery->setValue(BatteryMenuTexts::batteryValue(battery.batteryPresent, battery.levelPercent));
    m_appMode->setValue(BatteryMenuTexts::appModeText(battery, charge));
    const auto time = BatteryMenuTexts::timeRow(battery, charge);
    if (time) {
        m_time->setLabel(time->label);
        m_time->setValue(time->value);
    }
    m_time->setVisible(time.has_value());
}

BatteryDetailGroup::BatteryDetailGroup(const MenuPanelModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    QVBoxLayout *layout = columnLayout(this);
    m_powerSource = addRow<PanelDetailRow>(layout, this, "powerSourceRow", QStringLiteral("Power Source"), QString());
    m_cycleCount = addRow<PanelDetailRow>(layout, this, "cycleCountRow", QStringLiteral("Cycle Count"), QString());
    m_capacity = addRow<PanelDetailRow>(layout, this, "capacityRow", QStringLiteral("Battery Capacity"), QString());
    m_packRows = columnLayout(new QWidget(this));
    layout->addWidget(m_packRows->parentWidget());
    m_lowPower = addRow<PanelDetailRow>(layout, this, "lowPowerRow", QStringLiteral("Low Power Mode"), QString());
    m_powerDraw = addRow<PanelDetailRow>(layout, this, "powerDrawRow", QStringLiteral("Power Draw"), QString());

    m_history = new QWidget(this);
    m_history->setObjectName(QStringLiteral("powerHistory"));
    auto *historyLayout = new QVBoxLayout(m_history);
    historyLayout->setContentsMargins(PanelStyle::kSideInset, 6, PanelStyle::kSideInset, 2);
    historyLayout->setSpacing(3);
    m_sparkLabel = new QLabel(m_history);
    m_sparkLabel->setObjectName(QStringLiteral("sparkLabel"));
    PanelStyle::apply(m_sparkLabel, TextRole::sectionTitle);
    m_spark = new Sparkline(PanelStyle::kAccent.lighter(130), m_history);
    m_spark->setObjectName(QStringLiteral("spark"));
    m_spark->setFixedHeight(30);
    historyLayout->addWidget(m_sparkLabel);
    historyLayout->addWidget(m_spark);
    layout->addWidget(m_history);

    connect(&model, &MenuPanelModel::powerSourceChanged, this, &BatteryDetailGroup::updatePowerSource);
    connect(&model, &MenuPanelModel::cycleCountChanged, this, &BatteryDetailGroup::updateBatteryDetails);
    connect(&model, &MenuPanelModel::healthPercentChanged, this, &BatteryDetailGroup::updateBatteryDetails);
    connect(&model, &MenuPanelModel::batteryPacksChanged, this, &BatteryDetailGroup::updateBatteryPacks);
    connect(&model, &MenuPanelModel::lowPowerChanged, this, &BatteryDetailGroup::updateLowPower);
    connect(&model, &MenuPanelModel::packageWattsChanged, this, &BatteryDetailGroup::updatePowerDraw);
    connect(&model, &MenuPanelModel::sparkChanged, this, &BatteryDetailGroup::updateSpark);
    connect(&model, &MenuPanelModel::sparkLabelChanged, this, &BatteryDetailGroup::updateSpark);
    updatePowerSource();
    updateBatteryDetails();
    updateBatteryPacks();
    updateLowPower();
    updatePowerDraw();
    updateSpark();
}

void BatteryDetailGroup::updatePowerSource()
{
    m_powerSource->setValue(m_model.powerSource());
}

void BatteryDetailGroup::updateBatteryDetails()
{
    const auto cycles = m_model.cycleCount();
    if (cycles)
        m_cycleCount->setValue(QString::number(*cycles));
    m_cycleCount->setVisible(cycles.has_value());
    const auto health = m_model.healthPercent();
    if (health)
        m_capacity->setValue(QString::number(*health) + QLatin1Char('%'));
    m_capacity->setVisible(health.has_value());
}

void BatteryDetailGroup::updateBatteryPacks()
{
    while (QLayoutItem *item = m_packRows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QList<BatteryPack> &packs = m_model.batteryPacks();
    for (const BatteryPack &pack : packs)
        addRow<PanelDetailRow>(m_packRows, m_packRows->parentWidget(), "batteryPackRow", pack.name,
                               batteryPackSummary(pack));
    m_packRows->parentWidget()->setVisible(!packs.isEmpty());
}

void BatteryDetailGroup::updateLowPower()
{
    m_lowPower->setValue(m_model.lowPower() ? QStringLiteral("On") : QStringLiteral("Off"));
}

void BatteryDetailGroup::updatePowerDraw()
{
    const double watts = m_model.packageWatts();
    const bool shown = watts > kMinShownPowerDraw;
    if (shown)
        m_powerDraw->setValue(formatPrintf("%.1f W", watts));
    m_powerDraw->setVisible(shown);
}

void BatteryDetailGroup::updateSpark()
{
    PanelStyle::setTextIfChanged(m_sparkLabel, m_model.sparkLabel());
    m_spark->setValues(m_model.spark());
    // A single point draws no line.
    m_history->setVisible(m_model.spark().size() >= 2);
}

ChargeManagementGroup::ChargeManagementGroup(ChargeLimitController &charge, QWidget *parent)
    : QWidget(parent)
    , m_charge(charge)
{
    QVBoxLayout *layout = columnLayout(this, 2);

    auto *switchRow = new QWidget(this);
    switchRow->setFixedHeight(PanelStyle::kRowHeight + 4);
    auto *switchLayout = new QHBoxLayout(switchRow);
    switchLayout->setContentsMargins(PanelStyle::kSideInset, 0, PanelStyle::kSideInset, 0);
    auto *switchLabel = new QLabel(QStringLiteral("Manage charging"), switchRow);
    PanelStyle::apply(switchLabel, TextRole::primary);
    m_switch = new PanelSwitch(switchRow);
    m_switch->setObjectName(QStringLiteral("manageChargingSwitch"));
    m_switch->setAccessibleName(switchLabel->text());
    switchLayout->addWidget(switchLabel, 1);
    switchLayout->addWidget(m_switch, 0);
    layout->addWidget(switchRow);

    m_notice = wrappedLabel(this, TextRole::detail, "chargeNotice");
    layout->addWidget(m_notice);

    m_limitBox = new QWidget(this);
    m_limitBox->setObjectName(QStringLiteral("chargeLimitBox"));
    auto *limitLayout = new QVBoxLayout(m_limitBox);
    limitLayout->setContentsMargins(PanelStyle::kSideInset, 0, PanelStyle::kSideInset, 4);
    limitLayout->setSpacing(2);
    auto *limitLine = new QHBoxLayout;
    auto *limitLabel = new QLabel(QStringLiteral("Charge limit"), m_limitBox);
    PanelStyle::apply(limitLabel, TextRole::detail);
    m_limitValue = new QLabel(m_limitBox);
    m_limitValue->setObjectName(QStringLiteral("chargeLimitValue"));
    PanelStyle::apply(m_limitValue, TextRole::emphasized);
    limitLine->addWidget(limitLabel, 1);
    limitLine->addWidget(m_limitValue, 0);
    limitLayout->addLayout(limitLine);

    m_slider = new QSlider(Qt::Horizontal, m_limitBox);
    m_slider->setObjectName(QStringLiteral("chargeLimitSlider"));
    m_slider->setAccessibleName(limitLabel->text());
    m_slider->setRange(50, 100);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(5);
    // The controller stores the limit and may write the charger on every
    // change, so it hears only where the drag ends; the label follows live.
    m_slider->setTracking(false);
    limitLayout->addWidget(m_slider);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    m_chargeToFull = new MinimalButton(QStringLiteral("Charge to 100%"), m_limitBox);
    m_chargeToFull->setObjectName(QStringLiteral("chargeToFullButton"));
    m_discharge = new MinimalButton(QStringLiteral("Discharge battery"), m_limitBox);
    m_discharge->setObjectName(QStringLiteral("dischargeButton"));
    m_stopOverride = new MinimalButton(QStringLiteral("Stop override"), m_limitBox);
    m_stopOverride->setObjectName(QStringLiteral("stopOverrideButton"));
    buttons->addWidget(m_chargeToFull);
    buttons->addWidget(m_discharge);
    buttons->addWidget(m_stopOverride);
    buttons->addStretch(1);
    limitLayout->addLayout(buttons);
    layout->addWidget(m_limitBox);

    connect(m_switch, &PanelSwitch::toggled, &charge, [this](bool on) {
        if (on != m_charge.isEnabled())
            m_charge.setEnabled(on);
    });
    connect(m_slider, &QSlider::sliderMoved, this, [this](int value) {
        PanelStyle::setTextIfChanged(m_limitValue, limitText(value));
    });
    connect(m_slider, &QSlider::valueChanged, &charge, [this](int value) {
        if (value != roundHalfAway(m_charge.limitPercent()))
            m_charge.setLimitPercent(value);
    });
    connect(m_chargeToFull, &QPushButton::clicked, &charge, [this] { m_charge.setForceFullCharge(true); });
    connect(m_discharge, &QPushButton::clicked, &charge, [this] { m_charge.setForceDischarge(true); });
    connect(m_stopOverride, &QPushButton::clicked, &charge, [this] { m_charge.stopOverride(); });

    connect(&charge, &ChargeLimitController::isEnabledChanged, this, &ChargeManagementGroup::updateEnabled);
    connect(&charge, &ChargeLimitController::limitPercentChanged, this, &ChargeManagementGroup::updateLimit);
    connect(&charge, &ChargeLimitController::forceFullChargeChanged, this, &ChargeManagementGroup::updateOverrides);
    connect(&charge, &ChargeLimitController::forceDischargeChanged, this, &ChargeManagementGroup::updateOverrides);
    connect(&charge, &ChargeLimitController::statusChanged, this, &ChargeManagementGroup::updateNotice);
    connect(&charge, &ChargeLimitController::detailChanged, this, &ChargeManagementGroup::updateNotice);
    updateEnabled();
    updateLimit();
    updateOverrides();
}

void ChargeManagementGroup::updateEnabled()
{
    const QSignalBlocker quiet(m_switch);
    m_switch->setChecked(m_charge.isEnabled());
    m_limitBox->setVisible(m_charge.isEnabled());
    updateNotice();
}

void ChargeManagementGroup::updateLimit()
{
    const int limit = static_cast<int>(roundHalfAway(m_charge.limitPercent()));
    {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(limit);
    }
    PanelStyle::setTextIfChanged(m_limitValue, limitText(limit));
}

void ChargeManagementGroup::updateOverrides()
{
    const bool overriding = m_charge.forceFullCharge() || m_charge.forceDischarge();
    m_chargeToFull->setVisible(!overriding);
    m_discharge->setVisible(!overriding);
    m_stopOverride->setVisible(overriding);
}

void ChargeManagementGroup::updateNotice()
{
    // When the charger cannot be controlled the switch alone would do nothing
    // visible; the controller's explanation says why.
    const bool unavailable = m_charge.isEnabled() && m_charge.status() == ChargeLimitStatus::unsupported;
    if (unavailable)
        PanelStyle::setTextIfChanged(m_notice, m_charge.detail());
    m_notice->setVisible(unavailable);
}

AppUsageRow::AppUsageRow(QWidget *parent)
    : QWidget(parent)
    , m_icon(new QLabel(this))
    , m_name(new QLabel(this))
    , m_activity(new QLabel(this))
{
    m_icon->setObjectName(QStringLiteral("icon"));
    m_icon->setFixedSize(kIconSize, kIconSize);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setTextFormat(Qt::PlainText);
    m_name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    PanelStyle::apply(m_name, TextRole::primary);
    m_activity->setObjectName(QStringLiteral("activity"));
    PanelStyle::apply(m_activity, TextRole::detail);
    m_activity->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PanelStyle::kSideInset, 0, PanelStyle::kSideInset, 0);
    layout->setSpacing(8);
    layout->addWidget(m_icon);
    layout->addWidget(m_name, 1);
    layout->addWidget(m_activity);
    setFixedHeight(kIconSize + 6);
}

QString AppUsageRow::name() const { return m_name->text(); }
QString AppUsageRow::activity() const { return m_activity->text(); }

void AppUsageRow::display(const ProcEnergy &process, AppIconLookup &icons)
{
    PanelStyle::setTextIfChanged(m_name, process.name);
    PanelStyle::setTextIfChanged(m_activity, PendraStatusCopy::cpuWord(process.cpuPercent));
    const QString iconKey = process.name + QLatin1Char('\n') + process.path;
    if (iconKey != m_iconKey) {
        m_iconKey = iconKey;
        const QIcon icon = icons.iconFor(process.name, process.path);
        m_icon->setPixmap(icon.pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));
    }
}

EnergyUsageGroup::EnergyUsageGroup(const MenuPanelModel &model, AppIconLookup &icons, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_icons(icons)
{
    QVBoxLayout *layout = columnLayout(this);
    addRow<PanelSectionTitle>(layout, this, "energyTitle", QStringLiteral("High Energy Usage"));
    for (int i = 0; i < 5; ++i) {
        auto *row = new AppUsageRow(this);
        row->setObjectName(QStringLiteral("appRow%1").arg(i));
        row->hide();
        layout->addWidget(row);
        m_rows.append(row);
    }
    m_placeholder = new QLabel(QStringLiteral("Loading…"), this);
    m_placeholder->setObjectName(QStringLiteral("energyPlaceholder"));
    m_placeholder->setContentsMargins(PanelStyle::kSideInset, 2, PanelStyle::kSideInset, 2);
    PanelStyle::apply(m_placeholder, TextRole::detail);
    layout->addWidget(m_placeholder);

    connect(&model, &MenuPanelModel::topAppsChanged, this, &EnergyUsageGroup::updateRows);
    updateRows();
}

void EnergyUsageGroup::setLoaded(bool loaded)
{
    m_loaded = loaded;
    updateRows();
}

void EnergyUsageGroup::updateRows()
{
    const QList<ProcEnergy> &apps = m_model.topApps();
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const bool used = i < apps.size();
        if (used)
            m_rows.at(i)->display(apps.at(i), m_icons);
        m_rows.at(i)->setVisible(used);
    }
    PanelStyle::setTextIfChanged(m_placeholder, m_loaded ? QStringLiteral("None") : QStringLiteral("Loading…"));
    m_placeholder->setVisible(apps.isEmpty());
}

WhyDrainGroup::WhyDrainGroup(QWidget *parent)
    : QWidget(parent)
{
    QVBoxLayout *layout = columnLayout(this);
    addRow<PanelSectionTitle>(layout, this, "whyTitle", PendraStatusCopy::kWhyDidBatteryDrop);
    m_summary = wrappedLabel(this, TextRole::detail, "whySummary");
    m_summary->setText(QStringLiteral("Loading…"));
    layout->addWidget(m_summary);
    m_culprit = addRow<PanelDetailRow>(layout, this, "whyCulpritRow", QString(), QString());
    m_culprit->hide();
}

void WhyDrainGroup::display(const WhyDrain &why)
{
    PanelStyle::setTextIfChanged(m_summary, why.summary);
    const bool hasCulprit = !why.culprits.isEmpty();
    if (hasCulprit) {
        m_culprit->setLabel(why.culprits.first().name);
        m_culprit->setValue(why.culprits.first().note);
    }
    m_culprit->setVisible(hasCulprit);
}
