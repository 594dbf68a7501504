#include "app/dashboard/dashboard_customize_panel.h"
#include "app/preferences/alerts_pane.h"
#include "app/preferences/menu_bar_pane.h"
#include "app/preferences/preferences_sidebar.h"
#include "app/preferences/preferences_widgets.h"
#include "app/core/menu_bar_settings.h"
#include "app/tray/tray_icon_settings.h"
#include "fakes/preferences_fixture.h"
#include "integration/launch_at_login_helper.h"
#include "integration/menu_bar_position_store.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTest>

#include <functional>

namespace {

// The value as the settings file holds it.
QJsonValue stored(const Defaults &defaults, const QString &key)
{
    return QJsonDocument::fromJson(readFile(defaults.filePath())).object().value(key);
}

void click(PreferencesFixture &f, const char *objectName)
{
    auto *button = f.child<QAbstractButton>(objectName);
    ASSERT_NE(button, nullptr) << objectName;
    button->click();
}

void slide(PreferencesFixture &f, const char *objectName, int value)
{
    auto *slider = f.child<QSlider>(objectName);
    ASSERT_NE(slider, nullptr) << objectName;
    slider->setValue(value);
}

void pick(PreferencesFixture &f, const char *objectName, int button)
{
    auto *picker = f.child<SegmentedPicker>(objectName);
    ASSERT_NE(picker, nullptr) << objectName;
    picker->button(button)->click();
}

} // namespace

TEST(PreferencesRoot, SidebarListsTheSectionsInOrderAndShowsThePickedUnderTheVersionedHeader)
{
    const char *titles[] = {"Menu Bar", "Layout", "Charging", "Alerts", "Weather", "AI", "About"};
    PreferencesFixture f;
    PreferencesRoot &root = f.build();
    EXPECT_EQ(root.section(), PreferencesSection::menuBar);
    auto *stack = f.child<QStackedWidget>("preferencesPanes");
    int i = 0;
    for (PreferencesSection section : kAllPreferencesSections) {
        PreferencesSidebarButton *button = root.sidebar()->button(section);
        EXPECT_EQ(button->text(), QString::fromUtf8(titles[i++]));
        button->click();
        EXPECT_EQ(root.section(), section);
        EXPECT_EQ(stack->currentWidget(), root.pane(section));
    }
    EXPECT_NE(root.pane(PreferencesSection::chat)->findChild<QWidget *>(QStringLiteral("chatPaneStandIn")), nullptr);

    // The keyboard walks the sidebar.
    root.setSection(PreferencesSection::menuBar);
    QTest::keyClick(root.sidebar()->button(PreferencesSection::menuBar), Qt::Key_Down);
    EXPECT_EQ(root.section(), PreferencesSection::layout);

    // The header and About show the version's display form.
    EXPECT_EQ(f.child<QLabel>("headerTitle")->text(), QStringLiteral("Customize"));
    EXPECT_EQ(f.child<QLabel>("headerVersion")->text(), QStringLiteral("v0.1.6-Pro Beta"));
    EXPECT_EQ(f.child<StatusKVRow>("versionRow")->value(), QStringLiteral("v0.1.6-Pro Beta"));
}

TEST(PreferencesRoot, EachControlWritesItsSetting)
{
    const QString dash = DashboardPrefs::kKeyPrefix;
    const struct
    {
        const char *name;
        std::function<void(PreferencesFixture &)> act;
        QString key;
        QJsonValue expected;
    } table[] = {
        {"menu mode", [](auto &f) { pick(f, "menuModePicker", 1); },
         MenuBarSettings::kDisplayModeKey, QStringLiteral("watts")},
        {"tray percent", [](auto &f) { click(f, "trayPercentSwitch"); }, TrayIconSettings::kShowsPercentKey, false},
        {"tray colour", [](auto &f) { pick(f, "trayStylePicker", 2); },
         TrayIconSettings::kStyleKey, QStringLiteral("dark")},
        {"system battery", [](auto &f) { click(f, "hideSystemBatterySwitch"); }, SystemBatteryMenuHider::kEnabledKey,
         false},
        {"launch at login", [](auto &f) { click(f, "launchAtLoginSwitch"); }, LaunchAtLoginHelper::kSettingKey, true},
        {"position", [](auto &f) { slide(f, "positionSlider", 40); }, MenuBarPositionStore::kPositionKey, 0.4},
        {"layout toggle", [](auto &f) { click(f, "show.sparkline"); }, dash + keySuffix(DashboardPrefs::Flag::sparkline),
         true},
        {"density", [](auto &f) { pick(f, "densityPicker", 0); },
         dash + QStringLiteral("density"), QStringLiteral("compact")},
        {"width", [](auto &f) { pick(f, "widthPicker", 2); }, dash + QStringLiteral("width"), QStringLiteral("wide")},
        {"manage charging", [](auto &f) { click(f, "manageChargingSwitch"); },
         QStringLiteral("pendrapro.chargeLimit.enabled"), false},
        {"charge to full", [](auto &f) { click(f, "chargeToFull"); }, QStringLiteral("pendrapro.chargeLimit.forceFull"),
         true},
        {"discharge", [](auto &f) { click(f, "discharge"); }, QStringLiteral("pendrapro.chargeLimit.discharge"), true},
        {"drain alerts", [](auto &f) { click(f, "drainAlertsSwitch"); }, QStringLiteral("pendrapro.drainAlerts.enabled"),
         true},
        {"critical", [](auto &f) { slide(f, "criticalSlider", 33); }, MenuBarSettings::kCriticalPercentKey, 33},
        {"retention", [](auto &f) { slide(f, "retentionSlider", 3); }, QStringLiteral("pendrapro.retentionDays"), 3},
        {"app history", [](auto &f) { pick(f, "appHistoryRetention", 0); }, HistoryStore::kRetentionKey, 7},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        PreferencesFixture f;
        f.defaults->setBool(QStringLiteral("pendrapro.chargeLimit.enabled"), true);
        f.build();
        row.act(f);
        const QJsonValue value = stored(*f.defaults, row.key);
        EXPECT_EQ(value, row.expected) << "stored: " << value.toVariant().toString().toStdString();
    }
}

TEST(PreferencesRoot, ControlsOpenOnTheStoredValues)
{
    PreferencesFixture f;
    MenuBarSettings::setDisplayMode(*f.defaults, f.center, MenuBarDisplayMode::watts);
    MenuBarSettings::setCriticalBatteryPercent(*f.defaults, f.center, 33);
    f.defaults->setBool(SystemBatteryMenuHider::kEnabledKey, false);
    f.defaults->setBool(QStringLiteral("pendrapro.drainAlerts.enabled"), true);
    f.defaults->setInt(QStringLiteral("pendrapro.retentionDays"), 7);
    f.defaults->setInt(HistoryStore::kRetentionKey, 7);
    f.defaults->setDouble(MenuBarPositionStore::kPositionKey, 0.6);
    f.defaults->setInt(QStringLiteral("pendrapro.chargeLimit.percent"), 72);
    f.defaults->setString(DashboardPrefs::kKeyPrefix + QStringLiteral("density"), QStringLiteral("roomy"));
    f.loginItem.enabled = true;
    f.build();

    EXPECT_EQ(f.child<SegmentedPicker>("menuModePicker")->currentIndex(), 1);
    EXPECT_FALSE(f.child<QAbstractButton>("hideSystemBatterySwitch")->isChecked());
    EXPECT_TRUE(f.child<QAbstractButton>("launchAtLoginSwitch")->isChecked());
    EXPECT_TRUE(f.child<QAbstractButton>("drainAlertsSwitch")->isChecked());
    EXPECT_EQ(f.child<QSlider>("criticalSlider")->value(), 33);
    EXPECT_EQ(f.child<QSlider>("retentionSlider")->value(), 7);
    EXPECT_EQ(f.child<SegmentedPicker>("appHistoryRetention")->currentIndex(), 0);
    EXPECT_EQ(f.child<QSlider>("positionSlider")->value(), 60);
    EXPECT_EQ(f.child<QSlider>("chargeLimitSlider")->value(), 72);
    EXPECT_EQ(f.child<SegmentedPicker>("densityPicker")->currentIndex(), 2);
    EXPECT_EQ(f.child<SettingSliderRow>("positionRow")->caption(), QStringLiteral("Icon position 60%"));
}

TEST(PreferencesRoot, BatteryIconSwitchSaysWhatItHidesOnEachDesktop)
{
    const struct
    {
        const char *desktop;
        const char *note;
        bool offered;
    } rows[] = {
        {"GNOME", "Hides the desktop’s battery percentage so only Pendra is shown.", true},
        {"KDE", "Hides Battery and Brightness in the system tray so only Pendra is shown.", true},
        {"XFCE", "Hides the Power Manager’s tray icon so only Pendra is shown.", true},
        {"LXQt", "Hides the Power Management tray icon so only Pendra is shown.", true},
        {"sway", "This desktop offers no switch for its battery icon.", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.desktop);
        PreferencesFixture f;
        f.desktopNames = {QString::fromLatin1(row.desktop)};
        f.build();
        auto *toggle = f.child<QAbstractButton>("hideSystemBatterySwitch");
        EXPECT_EQ(toggle->isEnabled(), row.offered);
        EXPECT_EQ(toggle->isChecked(), row.offered); // the feature is on until switched off
        QStringList texts;
        for (const QLabel *label : toggle->parentWidget()->findChildren<QLabel *>())
            texts << label->text();
        EXPECT_TRUE(texts.contains(QString::fromUtf8(row.note))) << texts.join(QLatin1Char('|')).toStdString();
    }
}

TEST(PreferencesRoot, ControlsHaveTheirSideEffects)
{
    PreferencesFixture f;
    f.build();
    QStringList posted;
    QObject::connect(&f.center, &NotificationCenter::posted, [&posted](const QString &name) { posted << name; });

    click(f, "drainAlertsSwitch");
    EXPECT_EQ(f.notifications.permissionRequests, 1);
    slide(f, "positionSlider", 70);
    click(f, "openFullWindow");
    EXPECT_EQ(posted, (QStringList{AppNotification::rebuildStatusItem, AppNotification::openDashboard}));

    click(f, "launchAtLoginSwitch");
    EXPECT_TRUE(f.loginItem.enabled);
}

TEST(PreferencesRoot, RefusedLoginItemChangeShowsTheRealState)
{
    PreferencesFixture f;
    f.loginItem.refuse = true;
    f.build();
    click(f, "launchAtLoginSwitch");
    EXPECT_FALSE(f.child<QAbstractButton>("launchAtLoginSwitch")->isChecked());
    EXPECT_FALSE(f.child<QLabel>("loginItemProblem")->isHidden());
    EXPECT_EQ(f.child<QLabel>("loginItemProblem")->text(), MenuBarPane::kLoginItemRefused);
}

TEST(PreferencesRoot, ChargingPaneFollowsTheController)
{
    PreferencesFixture f;
    f.defaults->setBool(QStringLiteral("pendrapro.chargeLimit.enabled"), true);
    f.build();
    EXPECT_FALSE(f.child<QPushButton>("stopOverride")->isEnabled());
    f.charge->setForceDischarge(true);
    EXPECT_TRUE(f.child<QPushButton>("stopOverride")->isEnabled());
    EXPECT_EQ(f.child<QLabel>("appMode")->text(), QStringLiteral("Discharging"));
    f.charge->setLimitPercent(55);
    EXPECT_EQ(f.child<QSlider>("chargeLimitSlider")->value(), 55);
    click(f, "turnOffChargeManagement");
    EXPECT_FALSE(f.child<QAbstractButton>("manageChargingSwitch")->isChecked());
    EXPECT_EQ(f.child<QLabel>("appMode")->text(), QStringLiteral("Automatic"));
    EXPECT_TRUE(f.child<QLabel>("chargeBackend")->text().startsWith(QStringLiteral("Backend: ")));
}

TEST(PreferencesRoot, ClearHistoryDeletesTheDrainLogAndTheAppHistory)
{
    PreferencesFixture f;
    f.build();
    f.drainLog->logEvent(DrainEvent::SystemSleep);
    f.drainLog->waitForWrites();
    ASSERT_TRUE(QFile::exists(f.drainLog->filePath()));
    f.history->write({{{0, QStringLiteral("firefox"), 1, 1}}, {}});
    const auto storedApps = [&f] {
        std::optional<qsizetype> count;
        f.history->loadApps(36500, f.history.get(), [&count](const AppEnergyReport &r) { count = r.apps.size(); });
        EXPECT_TRUE(spinUntil([&] { return count.has_value(); }));
        return count.value_or(-1);
    };
    ASSERT_EQ(storedApps(), 1);
    click(f, "clearHistory");
    f.drainLog->waitForWrites();
    EXPECT_FALSE(QFile::exists(f.drainLog->filePath()));
    EXPECT_EQ(storedApps(), 0);
    EXPECT_EQ(f.child<QLabel>("historyCleared")->text(), AlertsPane::kHistoryCleared);
    EXPECT_FALSE(f.child<QLabel>("historyCleared")->isHidden());
}

TEST(PreferencesRoot, AboutButtonsRunTheirActions)
{
    const struct
    {
        const char *button;
        QString appCall;
        QString panelCall;
    } table[] = {
        {"openPendraPro", QStringLiteral("openPendraPro"), {}},
        {"airVsPro", {}, QStringLiteral("openComparisonPage")},
        {"checkForUpdates", QStringLiteral("checkUpdates"), {}},
        {"website", QStringLiteral("openWebsite"), {}},
        {"batterySettings", {}, QStringLiteral("openBatterySettings")},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.button);
        PreferencesFixture f;
        f.build();
        click(f, row.button);
        EXPECT_EQ(f.app.calls, row.appCall.isEmpty() ? QStringList() : QStringList{row.appCall});
        EXPECT_EQ(f.panel.calls, row.panelCall.isEmpty() ? QStringList() : QStringList{row.panelCall});
    }
}

TEST(PreferencesRoot, RetentionCaptionCountsDays)
{
    EXPECT_EQ(retentionCaption(1), QStringLiteral("Keep drain history for 1 day"));
    EXPECT_EQ(retentionCaption(14), QStringLiteral("Keep drain history for 14 days"));
}
