#include "app/ui/popover_controller.h"
#include "app/ui/popover_geometry.h"
#include "app/ui/popover_key_monitor.h"
#include "app/ui/popover_panel.h"
#include "app/tray/status_click_router.h"
#include "app/tray/tray_host_rules.h"

#include "fakes/fake_clock.h"
#include "fakes/recording_app_actions.h"
#include "fakes/recording_status_item.h"
#include "support/qt_printers.h"

#include "support/event_loop.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

namespace {

bool spinUntilClosed(PopoverController &popover)
{
    return spinUntil([&] { return !popover.isShown(); }, 2000);
}

struct PopoverFixture : ::testing::Test
{
    PopoverFixture()
    {
        popover.setScreenArea([this](QPoint) { return screen; });
        router.attach(&item);
        item.setDoubleClickInterval(0.4);
    }
    ~PopoverFixture() override { popover.close(); }

    // A click on the status item, far enough from the previous one to be
    // single.
    void singleClick()
    {
        clock.advance(1.0);
        item.click();
    }

    FakeClock clock;
    std::optional<QRect> screen = QRect(0, 0, 1280, 800);
    int contentBuilds = 0;
    QSize lastContentSize;
    PopoverController popover{clock, [this](QSize size) {
                                  ++contentBuilds;
                                  lastContentSize = size;
                                  auto *label = new QLabel(QStringLiteral("battery menu"));
                                  label->setObjectName(QStringLiteral("popoverContent"));
                                  return label;
                              }};
    RecordingAppActions actions;
    RecordingStatusItem item{clock};
    StatusClickRouter router{popover, actions, clock};
    QSignalSpy shown{&popover, &PopoverController::shown};
    QSignalSpy closed{&popover, &PopoverController::closed};
};

// The router's own tests: what the item's menu lists, and clicks the host
// reports in ways of its own.
struct RouterFixture : PopoverFixture
{
    QStringList menuTexts() const
    {
        QStringList texts;
        for (const QAction *action : router.contextMenu()->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }
};

} // namespace

TEST(PopoverGeometryTest, PanelHeightFollowsTheScreen)
{
    EXPECT_EQ(PopoverGeometry::panelHeight(QRect(0, 0, 1280, 700)), 520);
    EXPECT_EQ(PopoverGeometry::panelHeight(QRect(0, 0, 1280, 450)), 400);
    EXPECT_EQ(PopoverGeometry::panelHeight(QRect(0, 0, 1280, 560)), 460);
    EXPECT_EQ(PopoverGeometry::panelHeight(std::nullopt), 520);
}

TEST(PopoverGeometryTest, OpensOnThePanelsFarSideTouchingItInsideTheScreen)
{
    const QSize size(300, 520);
    const QRect screen(0, 0, 1280, 800);
    const QRect rightScreen(1280, 0, 1280, 800);
    struct Case
    {
        const char *what;
        QPoint click;
        QRect available;
        std::optional<QRect> panel;
        QRect frame;
    };
    const Case cases[] = {
        {"bottom panel", {1092, 775}, screen, QRect(0, 756, 1280, 44), QRect(942, 236, 300, 520)},
        {"top panel", {300, 14}, screen, QRect(0, 0, 1280, 28), QRect(150, 28, 300, 520)},
        {"left panel", {20, 400}, screen, QRect(0, 0, 48, 800), QRect(48, 140, 300, 520)},
        {"right panel", {1260, 400}, screen, QRect(1232, 0, 48, 800), QRect(932, 140, 300, 520)},
        {"bottom right corner", {1275, 795}, screen, QRect(0, 756, 1280, 44), QRect(980, 236, 300, 520)},
        {"top left corner", {2, 3}, screen, QRect(0, 0, 1280, 28), QRect(0, 28, 300, 520)},
        {"side panel, click at its foot", {20, 795}, screen, QRect(0, 0, 48, 800), QRect(48, 280, 300, 520)},
        {"second screen, left edge", {1285, 790}, rightScreen, QRect(1280, 770, 1280, 30),
         QRect(1280, 250, 300, 520)},
        {"panel kept out of the usable area", {640, 790}, QRect(0, 0, 1280, 756), std::nullopt,
         QRect(490, 236, 300, 520)},
        {"side panel kept out of the usable area", {10, 300}, QRect(48, 0, 1232, 800), std::nullopt,
         QRect(48, 40, 300, 520)},
        {"nothing known, top half", {640, 12}, screen, std::nullopt, QRect(490, 29, 300, 520)},
        {"nothing known, bottom half", {640, 790}, screen, std::nullopt, QRect(490, 254, 300, 520)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QRect keepClear = c.panel.value_or(PopoverGeometry::itemReach(c.click));
        const QRect frame = PopoverGeometry::panelFrame(c.click, size, c.available, keepClear);
        EXPECT_EQ(frame, c.frame) << c.what;
        EXPECT_FALSE(frame.intersects(keepClear)) << c.what;
        EXPECT_TRUE(c.available.contains(frame)) << c.what;
    }
}

TEST(PopoverGeometryTest, WithoutAClickPositionThePanelIsAtTheEdgeNearestThePointer)
{
    const QRect available(0, 32, 1280, 768);
    EXPECT_EQ(PopoverGeometry::panelSideOf({1140, 62}, available), QPoint(1140, 31)); // GNOME's top bar
    EXPECT_EQ(PopoverGeometry::panelSideOf({600, 780}, available), QPoint(600, 800));
    EXPECT_EQ(PopoverGeometry::panelSideOf({5, 400}, available), QPoint(-1, 400));
    EXPECT_EQ(PopoverGeometry::panelSideOf({1270, 400}, available), QPoint(1280, 400));
}

TEST_F(PopoverFixture, FromTheHostsMenuWithoutAClickItHangsFromThePanelNearestThePointer)
{
    screen = QRect(0, 32, 1280, 768);
    QCursor::setPos(1140, 62);
    popover.forceShow(QPoint());
    EXPECT_EQ(popover.panel()->geometry().topLeft(), QPoint(980, 32));
}

TEST_F(PopoverFixture, BuildsContentWarmBeforeTheFirstClick)
{
    popover.warmUp();
    EXPECT_TRUE(popover.isWarm());
    EXPECT_EQ(contentBuilds, 1);
    EXPECT_FALSE(popover.isShown());
    ASSERT_NE(popover.panel()->findChild<QLabel *>(QStringLiteral("popoverContent")), nullptr);
}

TEST_F(PopoverFixture, SingleClickOpensAndSecondSingleClickCloses)
{
    popover.warmUp();
    singleClick();
    EXPECT_TRUE(popover.isShown());
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(popover.panel()->size(), QSize(300, 520));
    EXPECT_EQ(router.lastLeftClickAt(), clock.uptime());

    singleClick();
    EXPECT_FALSE(popover.isShown());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(popover.popoverClosedAt(), clock.now());
}

TEST_F(PopoverFixture, AnotherScreenHeightRebuildsTheContentUnlessWithinEightPixels)
{
    popover.warmUp();
    screen = QRect(0, 0, 1280, 612); // 512 high: within 8 of the stored 520
    singleClick();
    EXPECT_EQ(contentBuilds, 1);
    EXPECT_EQ(popover.panel()->size(), QSize(300, 520));

    singleClick();
    screen = QRect(0, 0, 1280, 450);
    singleClick();
    EXPECT_EQ(contentBuilds, 2);
    EXPECT_EQ(lastContentSize, QSize(300, 400));
    EXPECT_EQ(popover.panel()->size(), QSize(300, 400));
    EXPECT_EQ(popover.lastPopoverSize(), QSize(300, 400));
}

TEST_F(PopoverFixture, ClickJustAfterClickOffDoesNotReopen)
{
    popover.warmUp();
    singleClick();
    // A click elsewhere closed it.
    popover.panel()->close();
    EXPECT_EQ(closed.count(), 1);

    clock.advance(0.2);
    item.click();
    EXPECT_FALSE(popover.isShown());

    clock.advance(0.2); // 0.4 s after the close; the pair is too slow to be a double click
    item.click();
    EXPECT_TRUE(popover.isShown());
}

TEST_F(PopoverFixture, WallClockSetBackDoesNotBlockReopening)
{
    popover.warmUp();
    singleClick();
    popover.panel()->close();
    clock.setWallClock(clock.now() - 3600);
    clock.advance(1.0);
    item.click();
    EXPECT_TRUE(popover.isShown());
}

TEST_F(PopoverFixture, TheHostOpeningTheContextMenuOrAPressOutsideThePanelClosesIt)
{
    popover.warmUp();
    singleClick();
    ASSERT_TRUE(popover.isShown());
    // What the exported menu does when a host asks to show it.
    emit router.contextMenu()->aboutToShow();
    EXPECT_FALSE(popover.isShown());

    singleClick();
    ASSERT_TRUE(popover.isShown());
    QTest::mouseClick(popover.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(-50, -50));
    EXPECT_TRUE(spinUntilClosed(popover));
}

TEST(PopoverOnXWayland, TakesTheFocusAndClosesWhenAnotherWindowTakesIt)
{
    QProcessEnvironment session;
    session.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    session.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
    FakeClock clock;
    PopoverController popover(clock, [](QSize) { return new QLabel(QStringLiteral("battery menu")); }, nullptr, session);
    popover.setScreenArea([](QPoint) { return QRect(0, 0, 1280, 800); });
    popover.show(QPoint(640, 790));
    ASSERT_TRUE(QTest::qWaitForWindowActive(popover.panel()));

    QWidget other;
    other.show();
    other.activateWindow();
    EXPECT_TRUE(spinUntilClosed(popover));
}

TEST_F(PopoverFixture, DoubleClickClosesPopoverAndOpensDashboard)
{
    popover.warmUp();
    clock.advance(1);
    item.click();
    EXPECT_TRUE(popover.isShown());
    clock.advance(0.2);
    item.click();
    EXPECT_FALSE(popover.isShown());
    EXPECT_EQ(actions.calls, QStringList{QStringLiteral("openDashboard")});
    EXPECT_EQ(router.lastLeftClickAt(), 0);
}

TEST_F(PopoverFixture, RightClickOpensTheContextMenuWhoseItemsReachTheApp)
{
    item.rightClick({200, 10});
    QMenu *menu = router.openContextMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(router.lastClickPosition(), QPoint(200, 10));

    menu->actions().at(2)->trigger();
    menu->actions().at(1)->trigger();
    EXPECT_EQ(actions.calls, (QStringList{"forceShowPopover", "openPreferences"}));
    menu->close();
}

TEST_F(PopoverFixture, ForceShowStartsTrackingOnTheNextTurn)
{
    popover.forceShow({300, 10});
    EXPECT_TRUE(popover.isShown());
    EXPECT_TRUE(popover.isWarm());
    EXPECT_EQ(shown.count(), 0);
    EXPECT_TRUE(shown.wait(1000));
    popover.forceShow({300, 10});
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.count(), 1) << "already shown: nothing more happens";
}

TEST_F(PopoverFixture, EscapeAndControlWCloseAnOpenPopover)
{
    PopoverKeyMonitor monitor(popover);
    popover.warmUp();
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), Qt::ControlModifier | Qt::Key_W}) {
        singleClick();
        ASSERT_TRUE(popover.isShown());
        QTest::keyClick(popover.panel(), key.key(), key.keyboardModifiers());
        EXPECT_FALSE(popover.isShown()) << key.key();
    }
}

TEST_F(PopoverFixture, EscapePassesThroughWhenClosed)
{
    PopoverKeyMonitor monitor(popover);
    QLineEdit field;
    field.show();
    QTest::keyClicks(&field, QStringLiteral("ab"));
    QTest::keyClick(&field, Qt::Key_W, Qt::ControlModifier);
    QTest::keyClick(&field, Qt::Key_Escape);
    EXPECT_EQ(field.text(), QStringLiteral("ab"));
    struct EscapeWatcher : QObject
    {
        int escapes = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                ++escapes;
            return false;
        }
    } watcher;
    field.installEventFilter(&watcher);
    QTest::keyClick(&field, Qt::Key_Escape);
    EXPECT_EQ(watcher.escapes, 1);
}

TEST_F(RouterFixture, LoneActivateFromAMenuOnClickHostOpensTheDashboard)
{
    const struct
    {
        TrayHost host;
        bool popoverShown;
        QStringList calls;
    } cases[] = {
        {TrayHost::gnomeShell, false, {QStringLiteral("openDashboard")}},
        {TrayHost::xfce, true, {}},
        {TrayHost::unknown, true, {}},
    };
    for (const auto &c : cases) {
        actions.calls.clear();
        router.setHostBehaviour(trayHostBehaviour(c.host));
        clock.advance(5);
        item.click();
        EXPECT_EQ(popover.isShown(), c.popoverShown) << int(c.host);
        EXPECT_EQ(actions.calls, c.calls) << int(c.host);
        popover.close();
    }
}

TEST_F(RouterFixture, OneMenuIsGivenToTheItemAndLeadsWithThePopoverWhereAClickOpensIt)
{
    EXPECT_EQ(item.menu, router.contextMenu());
    const QStringList regular{"Full Window",     "Customize…", "Battery Menu", "-", "Open Pendra Pro", "-",
                              "Check for Updates", "Website",  "-",            "Quit Pendra Pro"};
    EXPECT_EQ(menuTexts(), regular);

    router.setHostBehaviour(trayHostBehaviour(TrayHost::gnomeShell));
    EXPECT_EQ(menuTexts(), (QStringList{"Battery Menu", "Full Window", "-", "Customize…", "-", "Open Pendra Pro", "-",
                                        "Check for Updates", "Website", "-", "Quit Pendra Pro"}));
    router.contextMenu()->actions().first()->trigger();
    EXPECT_EQ(actions.calls, QStringList{QStringLiteral("forceShowPopover")});

    router.setHostBehaviour(trayHostBehaviour(TrayHost::plasma));
    EXPECT_EQ(menuTexts(), regular);
    EXPECT_EQ(router.contextMenu()->actions().size(), regular.size()) << "old separators are not kept";
}

TEST_F(RouterFixture, APressOnTheItemSoonAfterTheOpeningClickIsADoubleClick)
{
    const struct
    {
        double after;
        QPoint press;
        bool dashboard;
    } cases[] = {
        {0.1, {110, 14}, true},
        {0.1, {400, 300}, false}, // elsewhere: just closes the popover
        {1.0, {110, 14}, false},  // too late for a double click
    };
    for (const auto &c : cases) {
        actions.calls.clear();
        clock.advance(5);
        item.click({100, 10});
        ASSERT_TRUE(popover.isShown());
        clock.advance(c.after);
        emit popover.pressedOutside(c.press);
        EXPECT_EQ(actions.calls.contains(QStringLiteral("openDashboard")), c.dashboard) << c.after;
        popover.close();
    }
}
