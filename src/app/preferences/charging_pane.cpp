#include "app/preferences/charging_pane.h"

#include "app/battery_menu/battery_menu_texts.h"
#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "app/dashboard/dashboard_card.h"
#include "app/preferences/preferences_widgets.h"
#include "charge/charge_limit_controller.h"
#include "platform/format.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {

QLabel *valueLabel(QWidget *parent, const char *objectName, PanelStyle::TextRole role)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    PanelStyle::apply(label, role);
    return label;
}

} // namespace

ChargingPane::ChargingPane(ChargeLimitController &controller, QWidget *parent)
    : QWidget(parent)
    , m_controller(controller)
{
    using namespace PreferencesWidgets;
    const PaneColumn pane =
        makePaneColumn(this, QStringLiteral("Charging"),
                       QStringLiteral("Hold a limit, charge to 100%, or force discharge while plugged in."));

    DashboardCard *limit = addGroup(pane.column);
    auto *manage = new SettingSwitchRow(QStringLiteral("Manage charging"),
                                        QStringLiteral("Hold a user-chosen limit on AC instead of always charging to 100%."),
                                        limit);
    m_enabled = manage->toggle();
    m_enabled->setObjectName(QStringLiteral("manageChargingSwitch"));
    connect(m_enabled, &QAbstractButton::clicked, &controller, &ChargeLimitController::setEnabled);
    limit->body()->addWidget(manage);

    m_limit = new SettingSliderRow(
        [](int percent) { return QStringLiteral("Charge limit ") + formatPrintf("%lld%%", (long long)percent); }, 50,
        100, QString(), limit);
    m_limit->slider()->setObjectName(QStringLiteral("chargeLimitSlider"));
    // Each stored limit rewrites the settings file and may move the firmware's
    // charge threshold, so only where the drag ends; the caption follows live.
    m_limit->slider()->setTracking(false);
    connect(m_limit->slider(), &QSlider::valueChanged, &controller,
            [&controller](int percent) { controller.setLimitPercent(percent); });
    limit->body()->addWidget(m_limit);

    auto *overrides = new QHBoxLayout;
    overrides->setContentsMargins(kRowInset, 4, kRowInset, 8);
    overrides->setSpacing(8);
    const auto addButton = [&](const char *objectName, const QString &title, auto action) {
        auto *button = new MinimalButton(title, limit);
        button->setObjectName(QString::fromLatin1(objectName));
        connect(button, &QPushButton::clicked, &controller, action);
        overrides->addWidget(button);
        return button;
    };
    addButton("chargeToFull", QStringLiteral("Charge to 100%"), [&controller] { controller.setForceFullCharge(true); });
    addButton("discharge", QStringLiteral("Discharge"), [&controller] { controller.setForceDischarge(true); });
    m_stopOverride = addButton("stopOverride", QStringLiteral("Stop override"), [&controller] { controller.stopOverride(); });
    overrides->addStretch(1);
    limit->body()->addLayout(overrides);

    DashboardCard *state = addGroup(pane.column, QStringLiteral("Status"));
    m_mode = valueLabel(state, "appMode", PanelStyle::TextRole::emphasized);
    m_detail = valueLabel(state, "chargeDetail", PanelStyle::TextRole::detail);
    m_error = valueLabel(state, "chargeError", PanelStyle::TextRole::detail);
    QPalette critical = m_error->palette();
    critical.setColor(QPalette::WindowText, PanelStyle::kCritical);
    m_error->setPalette(critical);
    m_backend = valueLabel(state, "chargeBackend", PanelStyle::TextRole::detail);
    auto *modeRow = new SettingControlRow(QStringLiteral("App mode"), m_mode, state);
    state->body()->addWidget(modeRow);
    for (QLabel *line : {m_detail, m_error, m_backend}) {
        line->setContentsMargins(kRowInset, 0, kRowInset, 4);
        state->body()->addWidget(line);
    }
    auto *turnOff = new MinimalButton(QStringLiteral("Turn off charge management"), state);
    turnOff->setObjectName(QStringLiteral("turnOffChargeManagement"));
    connect(turnOff, &QPushButton::clicked, &controller, &ChargeLimitController::turnOff);
    auto *turnOffRow = new QHBoxLayout;
    turnOffRow->setContentsMargins(kRowInset, 4, kRowInset, 6);
    turnOffRow->addWidget(turnOff);
    turnOffRow->addStretch(1);
    state->body()->addLayout(turnOffRow);

    auto *note = noteLabel(QStringLiteral("Uses the battery’s charge_behaviour setting. Some systems block writes "
                                          "without extra permission — Pendra will say so. Don’t run two charge "
                                          "managers at once."),
                           this);
    note->setObjectName(QStringLiteral("chargeNote"));
    note->setContentsMargins(kRowInset, 2, kRowInset, 0);
    pane.column->addWidget(note);
    pane.column->addStretch(1);

    syncSettings();
    syncStatus();
    for (auto signal : {&ChargeLimitController::isEnabledChanged, &ChargeLimitController::limitPercentChanged,
                        &ChargeLimitController::forceFullChargeChanged, &ChargeLimitController::forceDischargeChanged})
        connect(&controller, signal, this, &ChargingPane::syncSettings);
    for (auto signal : {&ChargeLimitController::isEnabledChanged, &ChargeLimitController::forceFullChargeChanged,
                        &ChargeLimitController::forceDischargeChanged, &ChargeLimitController::statusChanged,
                        &ChargeLimitController::detailChanged, &ChargeLimitController::lastErrorChanged,
                        &ChargeLimitController::backendNameChanged})
        connect(&controller, signal, this, &ChargingPane::syncStatus);
}

void ChargingPane::syncSettings()
{
    m_enabled->setChecked(m_controller.isEnabled());
    m_limit->showValue(static_cast<int>(std::lround(m_controller.limitPercent())));
    m_stopOverride->setEnabled(m_controller.forceFullCharge() || m_controller.forceDischarge());
}

void ChargingPane::syncStatus()
{
    const BatteryMenuTexts::ChargeState charge{m_controller.isEnabled(), m_controller.forceFullCharge(),
                                               m_controller.forceDischarge(), m_controller.status()};
    PanelStyle::setTextIfChanged(m_mode, BatteryMenuTexts::chargeModeText(charge));
    PanelStyle::setTextIfChanged(m_detail, m_controller.detail());
    m_detail->setVisible(!m_controller.detail().isEmpty());
    PanelStyle::setTextIfChanged(m_error, m_controller.lastError().value_or(QString()));
    m_error->setVisible(m_controller.lastError().has_value());
    PanelStyle::setTextIfChanged(m_backend, QStringLiteral("Backend: ") + m_controller.backendName());
}
