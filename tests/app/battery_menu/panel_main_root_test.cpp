#include "app/battery_menu/battery_menu_groups.h"
#include "app/ui/panel_rows.h"
#include "fakes/panel_fixture.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "app/test_processes.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

namespace {

struct RowExpectation
{
    const char *objectName;
    bool shown;
    const char *label = nullptr; // checked when set
    const char *value = nullptr; // checked when set
};

void expectRows(const PanelFixture &f, const std::vector<RowExpectation> &rows)
{
    for (const RowExpectation &row : rows) {
        SCOPED_TRACE(row.objectName);
        QWidget *widget = f.child(row.objectName);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(!widget->isHidden(), row.shown);
        QString label, value;
        if (auto *main = qobject_cast<PanelMainRow *>(widget)) {
            label = main->label();
            value = main->value();
        } else if (auto *detail = qobject_cast<PanelDetailRow *>(widget)) {
            label = detail->label();
            value = detail->value();
        }
        if (row.label) {
            EXPECT_EQ(label, QString::fromUtf8(row.label));
        }
        if (row.value) {
            EXPECT_EQ(value, QString::fromUtf8(row.value));
        }
    }
}

// Charging at 57 % with a known cycle count and health.
BatSnap chargingWithHistory()
{
    BatSnap snap = chargingSnap(57);
    snap.cycles = 212;
    snap.health = 91;
    return snap;
}

} // namespace

TEST(MainRootStates, RowsFollowTheBatteryAndChargeState)
{
    const struct
    {
        const char *name;
        bool manageCharging;
        BatSnap snap;
        double watts;
        std::vector<RowExpectation> rows;
    } table[] = {
        {"desktop", false, desktopSnap(), 31.0, {
             {"batteryRow", true, "Battery", "—"},
             {"appModeRow", true, "App Mode", "Desktop · AC only"},
             {"timeRow", false},
             {"powerSourceRow", true, "Power Source", "Power Adapter"},
             {"cycleCountRow", false},
             {"capacityRow", false},
             {"lowPowerRow", true, "Low Power Mode", "Off"},
             {"powerDrawRow", true, "Power Draw", "31.0 W"}}},
        {"charging", false, chargingWithHistory(), 7.4, {
             {"batteryRow", true, "Battery", "57%"},
             {"timeRow", true},
             {"cycleCountRow", true, "Cycle Count", "212"},
             {"capacityRow", true, "Battery Capacity", "91%"},
             {"powerDrawRow", true, nullptr, "7.4 W"}}},
        {"held at the limit with charge management", true, heldAtLimitSnap(80), 7.4, {
             {"appModeRow", true, "App Mode", "Inhibiting charging"},
             {"chargeLimitBox", true},
             {"chargeToFullButton", true},
             {"dischargeButton", true},
             {"stopOverrideButton", false}}},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        PanelFixture f({.manageCharging = row.manageCharging});
        f.show(row.snap, row.watts);
        expectRows(f, row.rows);
    }
}

TEST(MainRootStates, ALinePerPackWhileTheBatteryIsSeveral)
{
    PanelFixture f;
    BatSnap snap = onBatterySnap(46, 9.1);
    snap.health = 93;
    snap.packs = {{"Internal", 94, 95, 215}, {"External", 29, 93, 487}};
    f.show(snap);
    expectRows(f, {{"cycleCountRow", false}, {"capacityRow", true, "Battery Capacity", "93%"}});
    QStringList lines;
    for (const PanelDetailRow *row : f.root->findChildren<PanelDetailRow *>("batteryPackRow")) {
        if (row->isVisibleTo(f.root.get()))
            lines << row->label() + QStringLiteral(": ") + row->value();
    }
    EXPECT_EQ(lines, (QStringList{"Internal: 94% · health 95% · 215 cycles", "External: 29% · health 93% · 487 cycles"}));

    f.show(onBatterySnap(88, 7.3));
    EXPECT_TRUE(f.root->findChildren<PanelDetailRow *>("batteryPackRow").isEmpty());
}

TEST(MainRoot, RefreshesChangeTextsWithoutBuildingWidgets)
{
    PanelFixture f({.manageCharging = true});
    const qsizetype widgets = f.root->findChildren<QWidget *>().size();
    f.top = {process(1, 3.0, 90, "firefox"), process(2, 1.0, 30, "code")};
    f.show(onBatterySnap(63, 9.0));
    f.show(chargingSnap(64));
    f.show(desktopSnap());
    f.top.clear();
    f.show(fullOnACSnap());
    EXPECT_EQ(f.root->findChildren<QWidget *>().size(), widgets);
}

TEST(MainRoot, ListsAtMostFiveAppsWithTheirActivityWord)
{
    PanelFixture f;
    f.top = {process(1, 3.0, 95, "firefox"), process(2, 1.5, 40, "code"),  process(3, 0.5, 5, "bash"),
             process(4, 0.1, 1, "kworker"),  process(5, 0.09, 26, "Xorg"), process(6, 0.01, 1, "sixth")};
    f.show(onBatterySnap(63, 9.0));
    const char *words[] = {"High", "Moderate", "Low", "Low", "Moderate"};
    for (int i = 0; i < 5; ++i) {
        auto *row = f.child<AppUsageRow>(QStringLiteral("appRow%1").arg(i).toLatin1().constData());
        ASSERT_NE(row, nullptr);
        EXPECT_FALSE(row->isHidden());
        EXPECT_EQ(row->name(), f.top.at(i).name);
        EXPECT_EQ(row->activity(), QString::fromUtf8(words[i]));
        const QPixmap icon = row->findChild<QLabel *>("icon")->pixmap();
        EXPECT_FALSE(icon.isNull());
        EXPECT_EQ(icon.deviceIndependentSize().toSize(), QSize(24, 24));
    }
    EXPECT_TRUE(f.child("energyPlaceholder")->isHidden());
}

TEST(MainRoot, EmptyAppListSaysLoadingUntilThePanelLoadedThenNone)
{
    PanelFixture f;
    f.show(onBatterySnap(63, 9.0));
    auto *placeholder = f.child<QLabel>("energyPlaceholder");
    EXPECT_EQ(placeholder->text(), "Loading…");
    EXPECT_FALSE(placeholder->isHidden());
    f.root->appear();
    ASSERT_TRUE(spinUntil([&] { return f.root->whyLoaded(); }));
    EXPECT_EQ(placeholder->text(), "None");
    EXPECT_TRUE(f.child("appRow0")->isHidden());
    EXPECT_TRUE(f.child("whyCulpritRow")->isHidden()) << "the answer named no culprit";
}

TEST(MainRoot, WhySummaryLoadsOnceOffTheMainThread)
{
    PanelFixture f;
    f.why.dropPercent = 6;
    f.why.windowLabel = QStringLiteral("last hour");
    f.why.culprits = {{QStringLiteral("alpha"), 0.75, QStringLiteral("75% of attributed energy samples")}};
    f.why.summary = QStringLiteral("alpha was responsible…");
    QSignalSpy loaded(f.root.get(), &MainRoot::whyLoadedChanged);

    f.root->appear();
    EXPECT_FALSE(f.root->whyLoaded()); // the answer arrives later, on the main thread
    ASSERT_TRUE(spinUntil([&] { return f.root->whyLoaded(); }));
    f.root->appear();
    QCoreApplication::processEvents();

    EXPECT_EQ(f.analysisThreads.load(), 1);
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_EQ(f.root->whyDrop(), 6);
    EXPECT_EQ(f.root->whyWindow(), "last hour");
    EXPECT_EQ(f.root->whySummary(), f.why.summary);
    EXPECT_EQ(f.child<QLabel>("whySummary")->text(), f.why.summary);
    expectRows(f, {{"whyCulpritRow", true, "alpha", "75% of attributed energy samples"}});
}

TEST(MainRoot, AppearingResetsTheChromeStyleToNewerTellsTheStatusItemAndShowsOnboardingUntilSeen)
{
    PanelFixture f;
    EXPECT_FALSE(f.root->showOnboarding());
    f.defaults->setBool(MainRoot::kOnboardingSeenKey, false);
    f.defaults->setString(MenuBarSettings::kChromeStyleKey, "original");
    f.center.post(AppNotification::menuBarDisplayChanged);
    EXPECT_EQ(f.root->chromeStyle(), MenuChromeStyle::original);
    QSignalSpy posted(&f.center, &NotificationCenter::posted);
    QSignalSpy onboarding(f.root.get(), &MainRoot::showOnboardingChanged);

    f.root->appear();

    EXPECT_EQ(f.root->chromeStyle(), MenuChromeStyle::newer);
    EXPECT_EQ(f.defaults->stringValue(MenuBarSettings::kChromeStyleKey), "newer");
    ASSERT_EQ(posted.count(), 1);
    EXPECT_EQ(posted.first().first().toString(), AppNotification::menuBarDisplayChanged);
    EXPECT_TRUE(f.root->showOnboarding());
    EXPECT_EQ(onboarding.count(), 1);
}

TEST(MainRoot, SettingsOpenAndQuitCloseThePopoverFirstThenActOnTheNextTurn)
{
    const struct Case
    {
        const char *action;
        const char *notification; // posted after closing, or null
        const char *call; // panel action after closing, or null
    } cases[] = {
        {"settingsAction", "pendrapro.openPreferences", nullptr},
        {"openAppAction", nullptr, "openPendraPro"},
        {"quitAction", nullptr, "quitApp"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.action);
        PanelFixture f;
        QSignalSpy posted(&f.center, &NotificationCenter::posted);
        emit f.child<PanelMenuAction>(c.action)->triggered();

        ASSERT_EQ(posted.count(), 1);
        EXPECT_EQ(posted.at(0).first().toString(), AppNotification::closePopover);
        EXPECT_TRUE(f.actions.calls.isEmpty());

        QCoreApplication::processEvents();
        if (c.notification) {
            ASSERT_EQ(posted.count(), 2);
            EXPECT_EQ(posted.at(1).first().toString(), QString::fromLatin1(c.notification));
        }
        if (c.call) {
            EXPECT_EQ(f.actions.calls, QStringList{QString::fromLatin1(c.call)});
        }
    }
}

TEST(MainRoot, EscapeAndOtherActionsActAtOnce)
{
    PanelFixture f;
    QSignalSpy posted(&f.center, &NotificationCenter::posted);
    QTest::keyClick(f.root.get(), Qt::Key_Escape);
    emit f.child<PanelMenuAction>("fullWindowAction")->triggered();
    ASSERT_EQ(posted.count(), 2);
    EXPECT_EQ(posted.at(0).first().toString(), AppNotification::closePopover);
    EXPECT_EQ(posted.at(1).first().toString(), AppNotification::openDashboard);

    emit f.child<PanelMenuAction>("comparisonAction")->triggered();
    emit f.child<PanelMenuAction>("batterySettingsAction")->triggered();
    EXPECT_EQ(f.actions.calls, (QStringList{QStringLiteral("openComparisonPage"), QStringLiteral("openBatterySettings")}));
}

TEST(MainRoot, ChargeControlsDriveTheController)
{
    PanelFixture f({.manageCharging = true});
    f.show(heldAtLimitSnap(70));
    auto *toFull = f.child<QPushButton>("chargeToFullButton");
    auto *stop = f.child<QPushButton>("stopOverrideButton");

    toFull->click();
    EXPECT_TRUE(f.charge->forceFullCharge());
    EXPECT_TRUE(toFull->isHidden());
    EXPECT_FALSE(stop->isHidden());

    stop->click();
    EXPECT_FALSE(f.charge->forceFullCharge());
    f.child<QPushButton>("dischargeButton")->click();
    EXPECT_TRUE(f.charge->forceDischarge());
    EXPECT_EQ(f.child<PanelMainRow>("timeRow")->value(), "Discharging");
    stop->click();

    auto *slider = f.child<QSlider>("chargeLimitSlider");
    EXPECT_EQ(slider->value(), 80);
    EXPECT_EQ(f.child<QLabel>("chargeLimitValue")->text(), "80%");
    slider->setValue(72);
    EXPECT_EQ(f.charge->limitPercent(), 72);
    EXPECT_EQ(f.child<QLabel>("chargeLimitValue")->text(), "72%");
    f.charge->setLimitPercent(90);
    EXPECT_EQ(slider->value(), 90);

    auto *manage = f.child<QAbstractButton>("manageChargingSwitch");
    EXPECT_TRUE(manage->isChecked());
    manage->click();
    EXPECT_FALSE(f.charge->isEnabled());
    EXPECT_TRUE(f.child("chargeLimitBox")->isHidden());
}

TEST(MainRoot, UnavailableChargeControlSaysWhy)
{
    PanelFixture f({.manageCharging = true});
    f.show(desktopSnap());
    auto *notice = f.child<QLabel>("chargeNotice");
    EXPECT_FALSE(notice->isHidden());
    EXPECT_EQ(notice->text(), f.charge->detail());
}

TEST(MainRoot, ScrollsAtTheMinimumHeightWithoutClippingSideways)
{
    PanelFixture f({.manageCharging = true, .size = {MainRoot::kPanelWidth, 400}});
    f.top = {process(1, 3.0, 95, "firefox"), process(2, 1.5, 40, "code"), process(3, 0.5, 5, "bash")};
    f.show(chargingWithHistory());
    f.root->show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(f.root->size(), QSize(300, 400));
    auto *scroll = f.child<QScrollArea>("panelScroll");
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    EXPECT_LE(scroll->widget()->minimumSizeHint().width(), 300);
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
}
