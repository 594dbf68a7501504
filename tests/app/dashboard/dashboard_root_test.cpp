#include "app/ui/panel_rows.h"
#include "app/dashboard/dashboard_customize_panel.h"
#include "app/dashboard/dashboard_header.h"
#include "app/dashboard/monitor_section.h"
#include "fakes/dashboard_fixture.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using Flag = DashboardPrefs::Flag;

TEST(DashboardRoot, EachFlagHidesItsPartAndLargePercentSelectsTheLargeType)
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
        {Flag::powerDistribution, "powerDistribution"}, {Flag::history, "historyCard"},
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
        EXPECT_TRUE(part->isVisibleTo(f.root.get()));
        f.prefs->setFlag(row.flag, false);
        EXPECT_FALSE(part->isVisibleTo(f.root.get()));
        f.prefs->setFlag(row.flag, true);
    }

    auto *percent = f.child<QLabel>("percent");
    const int large = percent->font().pixelSize();
    f.prefs->setFlag(Flag::largePercent, false);
    EXPECT_LT(percent->font().pixelSize(), large) << "the large percent flag selects the large type";
}

namespace {

struct CollapsibleSection
{
    const char *title;
    QString storageKey;
    const char *content; // the object name of what the section shows while expanded
    Flag flag;
};

const CollapsibleSection kCollapsibleSections[] = {
    {"Power", DashboardRoot::kPowerSectionKey, "powerContent", Flag::powerSource},
    {"Energy Mode", DashboardRoot::kEnergyModeSectionKey, "energyModeContent", Flag::energyMode},
    {"What’s using power", DashboardRoot::kAppsSectionKey, "appList", Flag::appsRow},
    {"Why did battery drop?", DashboardRoot::kWhySectionKey, "whyDetail", Flag::whyRow},
    {"History", DashboardRoot::kHistorySectionKey, "historyContent", Flag::history},
};

QStringList packLines(const DashboardFixture &f)
{
    QStringList lines;
    for (const StatusKVRow *row : f.root->findChildren<StatusKVRow *>(QStringLiteral("batteryPackRow"))) {
        if (row->isVisibleTo(f.root.get()))
            lines << row->label() + QStringLiteral(": ") + row->value();
    }
    return lines;
}

void clickHeaderOf(DashboardRoot &root, const char *title)
{
    for (MonitorSection *section : root.findChildren<MonitorSection *>()) {
        if (section->title() == QString::fromUtf8(title))
            return QTest::mouseClick(section->findChild<PanelClickableRow *>(QStringLiteral("header")), Qt::LeftButton);
    }
    ADD_FAILURE() << "no section " << title;
}

// The dashboard with every part switched on, shown so that clicks land.
DashboardRoot &showFullDashboard(DashboardFixture &f)
{
    f.prefs->applyPreset(QStringLiteral("full"));
    DashboardRoot &root = f.build();
    root.show();
    return root;
}

} // namespace

TEST(DashboardRoot, CollapsedSectionStaysCollapsedThroughLayoutChangesAndRebuilds)
{
    for (const CollapsibleSection &section : kCollapsibleSections) {
        SCOPED_TRACE(section.title);
        DashboardFixture f;
        DashboardRoot *root = &showFullDashboard(f);
        ASSERT_NE(f.child(section.content), nullptr);
        EXPECT_TRUE(f.child(section.content)->isVisibleTo(root));

        clickHeaderOf(*root, section.title);
        EXPECT_FALSE(f.child(section.content)->isVisibleTo(root));
        EXPECT_EQ(f.defaults->boolValue(section.storageKey), false);

        f.prefs->setDensity(DashboardPrefs::Density::compact);
        EXPECT_FALSE(f.child(section.content)->isVisibleTo(root)) << "after a layout change";
        f.prefs->setFlag(section.flag, false);
        f.prefs->setFlag(section.flag, true);
        EXPECT_FALSE(f.child(section.content)->isVisibleTo(root)) << "after the section was off and on";

        root = &f.build();
        root->show();
        EXPECT_FALSE(f.child(section.content)->isVisibleTo(root)) << "after a rebuild";

        clickHeaderOf(*root, section.title);
        EXPECT_TRUE(f.child(section.content)->isVisibleTo(root));
        f.prefs->setFlag(section.flag, false);
        EXPECT_FALSE(f.child(section.content)->isVisibleTo(root));
        f.prefs->setFlag(section.flag, true);
        EXPECT_TRUE(f.child(section.content)->isVisibleTo(root)) << "expanded again after off and on";
    }
}

TEST(DashboardRoot, FirstAppearanceSeedsTheLayoutAndShowsTheDrop)
{
    DashboardFixture f({.onboardingSeen = true, .seeded = false});
    f.why.dropPercent = 6;
    f.why.windowLabel = QStringLiteral("last hour");
    f.power.publish(onBatterySnap(70));
    DashboardRoot &root = f.build();
    EXPECT_FALSE(f.child("powerChart")->isVisibleTo(&root));
    root.show(); // appears
    EXPECT_TRUE(f.child("powerChart")->isVisibleTo(&root));
    EXPECT_FALSE(f.child("fauxMenubar")->isVisibleTo(&root));
    // The analysis runs off the UI thread.
    auto *chip = root.findChild<StatusChip *>();
    EXPECT_TRUE(spinUntil([&] { return chip->chip().text == QStringLiteral("Draining fast"); }));
}

TEST(DashboardRoot, FooterLinks)
{
    DashboardFixture f;
    DashboardRoot &root = f.build();
    QSignalSpy updates(&root, &DashboardRoot::updatesRequested);
    f.child<QPushButton>("updatesLink")->click();
    f.child<QPushButton>("compareLink")->click();
    f.child<QPushButton>("openAppLink")->click();
    EXPECT_EQ(updates.count(), 1);
    EXPECT_EQ(f.actions.calls, (QStringList{"openComparisonPage", "openPendraPro"}));
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

TEST(DashboardHealth, ALinePerPackWhileTheBatteryIsSeveral)
{
    DashboardFixture f;
    f.prefs->applyPreset(QStringLiteral("full"));
    BatSnap twoPacks = onBatterySnap(46, 9.1);
    twoPacks.health = 93;
    twoPacks.packs = {{"Internal", 94, 95, 215}, {"External", 29, 93, std::nullopt}};
    f.power.publish(twoPacks);
    f.build();

    EXPECT_EQ(packLines(f), (QStringList{"Internal: 94% · health 95% · 215 cycles", "External: 29% · health 93%"}));
    EXPECT_EQ(f.child<StatusKVRow>("capacityRow")->value(), QStringLiteral("93%"));

    f.power.publish(onBatterySnap(88, 7.3));
    EXPECT_EQ(packLines(f), QStringList());
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
