#include "app/preferences/menu_bar_pane.h"

#include "app/ui/panel_rows.h"
#include "app/dashboard/dashboard_card.h"
#include "app/dashboard/dashboard_customize_panel.h"
#include "app/preferences/preferences_widgets.h"
#include "app/core/notification_center.h"
#include "app/core/menu_bar_settings.h"
#include "app/tray/tray_icon_settings.h"
#include "integration/launch_at_login_helper.h"
#include "integration/menu_bar_position_store.h"
#include "integration/system_battery_menu_hider.h"
#include "platform/format.h"
#include "platform/system_battery_item.h"

#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr MenuBarDisplayMode kModes[] = {MenuBarDisplayMode::percent, MenuBarDisplayMode::watts};

QString systemBatterySwitchNote(SystemBatterySwitch desktopSwitch)
{
    switch (desktopSwitch) {
    case SystemBatterySwitch::gnomePercentage:
        return QStringLiteral("Hides the desktop’s battery percentage so only Pendra is shown.");
    case SystemBatterySwitch::plasmaBatteryApplet:
        return QStringLiteral("Hides Battery and Brightness in the system tray so only Pendra is shown.");
    case SystemBatterySwitch::xfcePowerManagerIcon:
        return QStringLiteral("Hides the Power Manager’s tray icon so only Pendra is shown.");
    case SystemBatterySwitch::lxqtPowerManagementIcon:
        return QStringLiteral("Hides the Power Management tray icon so only Pendra is shown.");
    case SystemBatterySwitch::none:
        break;
    }
    return QStringLiteral("This desktop offers no switch for its battery icon.");
}

} // namespace

MenuBarPane::MenuBarPane(Defaults &defaults, NotificationCenter &notifications, SystemBatteryMenuHider &systemBattery,
                         LoginItem &loginItem, QWidget *parent)
    : QWidget(parent)
    , m_defaults(defaults)
    , m_loginItem(loginItem)
{
    using namespace PreferencesWidgets;
    const PaneColumn pane = makePaneColumn(this, QStringLiteral("Menu Bar"),
                                           QStringLiteral("How Pendra appears in the top bar."));

    DashboardCard *display = addGroup(pane.column);
    auto *mode = new SegmentedPicker({displayLabel(kModes[0]), displayLabel(kModes[1])});
    mode->setObjectName(QStringLiteral("menuModePicker"));
    mode->setCurrentIndex(MenuBarSettings::displayMode(defaults) == MenuBarDisplayMode::watts ? 1 : 0);
    connect(mode, &SegmentedPicker::picked, this, [&defaults, &notifications](int index) {
        MenuBarSettings::setDisplayMode(defaults, notifications, kModes[index]);
    });
    display->body()->addWidget(new SettingControlRow(QStringLiteral("Icon shows"), mode, display));

    // Most panels draw no text beside a tray icon: the square icon then
    // carries the level, in a colour that suits the panel.
    auto *percent = new SettingSwitchRow(QStringLiteral("Show percentage in tray icon"),
                                         QStringLiteral("For panels that show no text beside the icon."), display);
    percent->toggle()->setObjectName(QStringLiteral("trayPercentSwitch"));
    percent->toggle()->setChecked(TrayIconSettings::showsPercent(defaults, false));
    connect(percent->toggle(), &QAbstractButton::clicked, this, [&defaults, &notifications](bool on) {
        TrayIconSettings::setShowsPercent(defaults, notifications, on);
    });
    display->body()->addWidget(percent);

    QStringList styleLabels;
    for (const TrayIconStyle style : kAllTrayIconStyles)
        styleLabels << displayLabel(style);
    auto *style = new SegmentedPicker(styleLabels);
    style->setObjectName(QStringLiteral("trayStylePicker"));
    style->setCurrentIndex(int(std::find(std::begin(kAllTrayIconStyles), std::end(kAllTrayIconStyles),
                                         TrayIconSettings::style(defaults))
                               - std::begin(kAllTrayIconStyles)));
    connect(style, &SegmentedPicker::picked, this, [&defaults, &notifications](int index) {
        TrayIconSettings::setStyle(defaults, notifications, kAllTrayIconStyles[index]);
    });
    display->body()->addWidget(new SettingControlRow(QStringLiteral("Icon colour"), style, display));

    const SystemBatterySwitch desktopSwitch = systemBattery.acts();
    auto *replace = new SettingSwitchRow(QStringLiteral("Use Pendra Pro as the battery icon"),
                                         systemBatterySwitchNote(desktopSwitch), display);
    replace->toggle()->setObjectName(QStringLiteral("hideSystemBatterySwitch"));
    // A switch that could change nothing would pretend.
    replace->toggle()->setEnabled(desktopSwitch != SystemBatterySwitch::none);
    replace->toggle()->setChecked(desktopSwitch != SystemBatterySwitch::none && systemBattery.isEnabled());
    connect(replace->toggle(), &QAbstractButton::clicked, &systemBattery, &SystemBatteryMenuHider::setEnabled);
    display->body()->addWidget(replace);

    // The item's place among the others, in whole percent from the left.
    auto *position = new SettingSliderRow(
        [](int percent) { return QStringLiteral("Icon position ") + formatPrintf("%lld%%", (long long)percent); },
        0, 100, QStringLiteral("From the far left (0%) to the far right (100%). Panels that arrange their icons "
                               "themselves may keep their own order."),
        display);
    position->setObjectName(QStringLiteral("positionRow"));
    QSlider *slider = position->slider();
    slider->setObjectName(QStringLiteral("positionSlider"));
    slider->setValue(static_cast<int>(std::lround(MenuBarPositionStore::position(defaults) * 100)));
    // Each stored value rebuilds the status item, so only where the drag ends.
    slider->setTracking(false);
    connect(slider, &QSlider::valueChanged, this, [&defaults, &notifications](int percent) {
        MenuBarPositionStore::setPosition(defaults, percent / 100.0,
                                          [&notifications] { notifications.post(AppNotification::rebuildStatusItem); });
    });
    display->body()->addWidget(position);

    DashboardCard *startup = addGroup(pane.column);
    auto *login = new SettingSwitchRow(QStringLiteral("Launch at Login"), QString(), startup);
    m_launchAtLogin = login->toggle();
    m_launchAtLogin->setObjectName(QStringLiteral("launchAtLoginSwitch"));
    m_launchAtLogin->setChecked(LaunchAtLoginHelper::isEnabled(loginItem));
    connect(m_launchAtLogin, &QAbstractButton::clicked, this, &MenuBarPane::launchAtLoginChanged);
    startup->body()->addWidget(login);
    m_loginItemProblem = noteLabel(kLoginItemRefused, startup);
    m_loginItemProblem->setObjectName(QStringLiteral("loginItemProblem"));
    m_loginItemProblem->setContentsMargins(kRowInset, 0, kRowInset, 4);
    m_loginItemProblem->hide();
    startup->body()->addWidget(m_loginItemProblem);

    pane.column->addStretch(1);
}

void MenuBarPane::launchAtLoginChanged(bool on)
{
    LaunchAtLoginHelper::switchChanged(m_loginItem, m_defaults, on);
    // A refused change must not look accepted: show what the desktop has.
    const bool enabled = LaunchAtLoginHelper::isEnabled(m_loginItem);
    m_launchAtLogin->setChecked(enabled);
    m_loginItemProblem->setVisible(enabled != on);
}
