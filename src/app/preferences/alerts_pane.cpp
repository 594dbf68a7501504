#include "app/preferences/alerts_pane.h"

#include "app/ui/panel_rows.h"
#include "app/dashboard/dashboard_card.h"
#include "platform/platform_texts.h"
#include "app/preferences/preferences_widgets.h"
#include "app/core/menu_bar_settings.h"
#include "energy/drain_alert_monitor.h"
#include "energy/drain_log.h"
#include "history/history_store.h"
#include "app/dashboard/dashboard_customize_panel.h"
#include "platform/format.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

QString retentionCaption(int days)
{
    return QStringLiteral("Keep drain history for ") +
           (days == 1 ? QStringLiteral("1 day") : formatPrintf("%lld days", (long long)days));
}

AlertsPane::AlertsPane(Defaults &defaults, NotificationCenter &notifications, DrainAlertMonitor &drainAlerts,
                       DrainLog &drainLog, HistoryStore *appHistory, QWidget *parent)
    : QWidget(parent)
{
    using namespace PreferencesWidgets;
    const PaneColumn pane = makePaneColumn(
        this, QStringLiteral("Alerts"), PlatformTexts::onThisMachine(QStringLiteral("Local notifications only — nothing leaves this Mac.")));

    DashboardCard *alerts = addGroup(pane.column);
    auto *warn = new SettingSwitchRow(QStringLiteral("Warn on fast drain"),
                                      QStringLiteral("Notify when battery drops quickly over a short window."), alerts);
    warn->toggle()->setObjectName(QStringLiteral("drainAlertsSwitch"));
    warn->toggle()->setChecked(drainAlerts.enabled());
    // Switching on asks the desktop for permission to notify.
    connect(warn->toggle(), &QAbstractButton::clicked, this, [&drainAlerts](bool on) { drainAlerts.setEnabled(on); });
    alerts->body()->addWidget(warn);

    auto *critical = new SettingSliderRow(
        [](int percent) { return QStringLiteral("Critical battery at ") + formatPrintf("%lld%%", (long long)percent); },
        MenuBarSettings::kMinCriticalPercent, MenuBarSettings::kMaxCriticalPercent,
        QStringLiteral("Menu bar icon and full window use this threshold for the red critical state."), alerts);
    critical->slider()->setObjectName(QStringLiteral("criticalSlider"));
    critical->showValue(MenuBarSettings::criticalBatteryPercent(defaults));
    connect(critical->slider(), &QSlider::valueChanged, this, [&defaults, &notifications](int percent) {
        MenuBarSettings::setCriticalBatteryPercent(defaults, notifications, percent);
    });
    alerts->body()->addWidget(critical);

    DashboardCard *history = addGroup(pane.column, QStringLiteral("Drain history"));
    auto *retention =
        new SettingSliderRow(&retentionCaption, DrainLog::kMinRetentionDays, DrainLog::kMaxRetentionDays,
                             QStringLiteral("Why-drain answers read this history; older records are removed."), history);
    retention->slider()->setObjectName(QStringLiteral("retentionSlider"));
    retention->showValue(drainLog.retentionDays());
    // Every stored value trims the file, so only where the drag ends.
    retention->slider()->setTracking(false);
    connect(retention->slider(), &QSlider::valueChanged, this,
            [&drainLog](int days) { drainLog.setRetentionDays(days); });
    history->body()->addWidget(retention);

    if (appHistory) {
        auto *appRetention =
            new SegmentedPicker({QStringLiteral("7 days"), QStringLiteral("35 days")}, history);
        appRetention->setObjectName(QStringLiteral("appHistoryRetention"));
        appRetention->setCurrentIndex(appHistory->appRetentionDays() == HistoryStore::kShortAppRetentionDays ? 0 : 1);
        connect(appRetention, &SegmentedPicker::picked, this, [appHistory](int index) {
            appHistory->setAppRetentionDays(index == 0 ? HistoryStore::kShortAppRetentionDays
                                                       : HistoryStore::kLongAppRetentionDays);
        });
        history->body()->addWidget(new SettingControlRow(QStringLiteral("Keep app energy history for"), appRetention,
                                                         history));
    }

    auto *clear = new MinimalButton(QStringLiteral("Clear history"), history);
    clear->setObjectName(QStringLiteral("clearHistory"));
    m_cleared = noteLabel(kHistoryCleared, history);
    m_cleared->setObjectName(QStringLiteral("historyCleared"));
    m_cleared->hide();
    connect(clear, &QPushButton::clicked, this, [this, &drainLog, appHistory] {
        drainLog.clearHistory();
        if (appHistory)
            appHistory->clear();
        m_cleared->show();
    });
    auto *clearRow = new QHBoxLayout;
    clearRow->setContentsMargins(kRowInset, 4, kRowInset, 8);
    clearRow->setSpacing(10);
    clearRow->addWidget(clear);
    clearRow->addWidget(m_cleared);
    clearRow->addStretch(1);
    history->body()->addLayout(clearRow);

    pane.column->addStretch(1);
}
