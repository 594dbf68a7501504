#include "app/ui/panel_rows.h"
#include "app/dashboard/dashboard_customize_panel.h"
#include "app/dashboard/dashboard_header.h"
#include "app/dashboard/monitor_section.h"
#include "fakes/dashboard_fixture.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using Flag = DashboardPrefs::Flag;

TEST(DashboardRoot, EachFlagHidesItsPart)
{
    const struct
    {
        Flag flag;
        const char *objectName;
    } table[] = {
        {Flag::fauxMenubar, "fauxMenubar"}, {Flag::pendraPill, "pillRow"},
        {Flag::packageLine, "packageLine"}, {Flag::timeRemaining, "timeHeadline"},
        {Flag::powerSource, "powerCard"},   {Flag::energyMode, "energyModeCard"},
        {Flag::appsRow, "appsCard"},        {Flag::whyRow, "whyCard"},
        {Flag::sparkline, "powerChart"},    {Flag::topAppsList, "appList"},
        {Flag::whyDetail, "whyDetail"},     {Flag::health, "healthCard"},
        {Flag::powerDistribution, "powerDistribution"},
    };
    DashboardFixture f;
    f.prefs->applyPreset(QStringLiteral("full"));
    PackageReading sensor{6, QStringLiteral("sensor (3 domains)"), SocPowerSample{3, 1, 0, 1, 1}};
    f.power.store.publish(onBatterySnap(70), sensor, false, {});
    f.build();
    for (const auto &row : table) {
        SCOPED_TRACE(row.objectName);
        QWidget *part = f.child(row.objectName);
        ASSERT_NE(part, nullptr);
        EXPECT_FALSE(part->isHidden());
        f.prefs->setFlag(row.flag, false);
        EXPECT_TRUE(part->isHidden());
    }
}

TEST(DashboardRoot, LargePercentSelectsTheLargeType)
{
    DashboardFixture f;
    f.build();
    auto *percent = f.child<QLabel>("percent");
    const int large = percent->font().pixelSize();
    f.prefs->setFlag(Flag::largePercent, false);
    EXPECT_LT(percent->font().pixelSize(), large);
}

TEST(DashboardRoot, SectionsRememberTheirExpansion)
{
    DashboardFixture f;
    f.build();
    const struct
    {
        const char *title;
        QString key;
    } sections[] = {
        {"Power", DashboardRoot::kPowerSectionKey},
        {"Energy Mode", DashboardRoot::kEnergyModeSectionKey},
        {"What’s using power", DashboardRoot::kAppsSectionKey},
        {"Why did battery drop?", DashboardRoot::kWhySectionKey},
    };
    for (const auto &section : sections) {
        SCOPED_TRACE(section.title);
        MonitorSection *found = nullptr;
        for (MonitorSection *candidate : f.root->findChildren<MonitorSection *>()) {
            if (candidate->title() == QString::fromUtf8(section.title))
                found = candidate;
        }
        ASSERT_NE(found, nullptr);
        emit found->findChild<PanelClickableRow *>(QStringLiteral("header"))->triggered();
        EXPECT_EQ(f.defaults->boolValue(section.key), false);
    }
    f.build();
    for (MonitorSection *section : f.root->findChildren<MonitorSection *>())
        EXPECT_FALSE(section->isExpanded()) << section->title().toStdString();
}

TEST(DashboardRoot, AppearSeedsLoadsWhyAndAsksForOnboarding)
{
    DashboardFixture f({.onboardingSeen = false, .seeded = false});
    f.why.dropPercent = 6;
    f.why.windowLabel = QStringLiteral("last hour");
    f.power.publish(onBatterySnap(70));
    DashboardRoot &root = f.build();
    QSignalSpy onboarding(&root, &DashboardRoot::showOnboardingChanged);
    root.show(); // appears
    EXPECT_TRUE(f.prefs->flag(Flag::sparkline));
    EXPECT_FALSE(f.prefs->flag(Flag::fauxMenubar));
    EXPECT_TRUE(root.showOnboarding());
    EXPECT_EQ(onboarding.count(), 1);
    ASSERT_TRUE(spinUntil([&] { return root.whyLoaded(); }));
    EXPECT_EQ(root.findChild<StatusChip *>()->chip().text, QStringLiteral("Draining fast"));
}

TEST(DashboardRoot, FooterLinks)
{
    DashboardFixture f;
    writeFile(f.dir.filePath(QStringLiteral("applications/") + SiblingApp::kDesktopId),
              "[Desktop Entry]\nExec=/opt/torvex/torvex %U\n");
    DashboardRoot &root = f.build();
    EXPECT_EQ(f.child<QPushButton>("siblingLink")->text(), QStringLiteral("Open Torvex"));
    QSignalSpy updates(&root, &DashboardRoot::updatesRequested);
    f.child<QPushButton>("updatesLink")->click();
    f.child<QPushButton>("compareLink")->click();
    f.child<QPushButton>("openAppLink")->click();
    EXPECT_EQ(updates.count(), 1);
    EXPECT_EQ(f.actions.calls, (QStringList{"openComparisonPage", "openPendraPro"}));
    EXPECT_EQ(SiblingApp::locate({}, {}).linkTitle(), QStringLiteral("Get Torvex"));
}

TEST(DashboardRoot, KeysToggleTheLayoutPanelAndCloseTheWindow)
{
    DashboardFixture f;
    DashboardRoot &root = f.build();
    QWidget window;
    root.setParent(&window);
    // A window shortcut on the same key must not steal Ctrl+, from the dashboard.
    QAction preferences(&window);
    preferences.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    window.addAction(&preferences);
    QSignalSpy preferencesOpened(&preferences, &QAction::triggered);
    int closeRequests = 0;
    f.center.observe(AppNotification::closeDashboard, &root, [&] { ++closeRequests; });
    window.show();
    QApplication::setActiveWindow(&window);
    root.setFocus();

    QTest::keyClick(&root, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_TRUE(root.isCustomizeShown());
    EXPECT_EQ(preferencesOpened.count(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(root.isCustomizeShown());
    EXPECT_EQ(closeRequests, 0);
    QTest::keyClick(&root, Qt::Key_Escape);
    EXPECT_EQ(closeRequests, 1);
    QTest::keyClick(&root, Qt::Key_A); // passes on
    EXPECT_FALSE(root.isCustomizeShown());
    root.setParent(nullptr); // the fixture owns it
}

TEST(DashboardCustomizePanel, ControlsChangeAndFollowThePrefs)
{
    DashboardFixture f;
    DashboardCustomizePanel panel(*f.prefs);
    QSignalSpy done(&panel, &DashboardCustomizePanel::done);

    panel.toggle(Flag::health)->click();
    EXPECT_TRUE(f.prefs->flag(Flag::health));
    panel.widthPicker()->button(2)->click();
    EXPECT_EQ(f.prefs->width(), DashboardPrefs::CardWidth::wide);
    panel.findChild<QPushButton *>(QStringLiteral("simplePreset"))->click();
    EXPECT_EQ(f.prefs->density(), DashboardPrefs::Density::compact);
    EXPECT_EQ(panel.densityPicker()->currentIndex(), 0);
    EXPECT_FALSE(panel.toggle(Flag::energyMode)->isChecked());
    panel.findChild<QPushButton *>(QStringLiteral("doneButton"))->click();
    EXPECT_EQ(done.count(), 1);
}
