// Renders the status item's images to PNG for visual review. Runs only when
// PENDRA_SCREENSHOTS_DIR names the output folder (scripts/screenshots).
#include "app/shell/app_delegate.h"
#include "app/tray/menu_bar_battery_icon.h"
#include "app/core/notification_center.h"
#include "app/ui/popover_controller.h"
#include "app/ui/popover_panel.h"
#include "app/tray/tray_icon_status_item.h"
#include "platform/defaults.h"
#include "platform/linux/workspace_linux.h"

#include "fakes/power_store_harness.h"
#include "fakes/panel_fixture.h"
#include "support/event_loop.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

using namespace MenuBarBatteryIcon;

namespace {

QString screenshotsDir()
{
    return qEnvironmentVariable("PENDRA_SCREENSHOTS_DIR");
}

// The image on a dark strip like a panel, so white glyphs are visible.
QImage onPanel(const QImage &image)
{
    QImage panel(image.width() + 16, image.height() + 8, QImage::Format_ARGB32_Premultiplied);
    panel.setDevicePixelRatio(1.0);
    panel.fill(QColor(0x26, 0x26, 0x2b));
    QPainter painter(&panel);
    QImage copy = image;
    copy.setDevicePixelRatio(1.0);
    painter.drawImage(8, 4, copy);
    return panel;
}

void save(const QImage &image, const QString &name)
{
    const QString path = QDir(screenshotsDir()).filePath(name);
    ASSERT_TRUE(onPanel(image).save(path)) << path.toStdString();
}

} // namespace

TEST(Screenshots, StatusItemImages)
{
    if (screenshotsDir().isEmpty())
        GTEST_SKIP() << "set PENDRA_SCREENSHOTS_DIR to render screenshots";
    QDir().mkpath(screenshotsDir());

    Inputs percent;
    percent.present = true;
    percent.level = 83;
    percent.minutes = 125;
    Inputs watts = percent;
    watts.mode = MenuBarDisplayMode::watts;
    watts.watts = 7.4;
    Inputs charging = percent;
    charging.level = 57;
    charging.onAC = true;
    charging.charging = true;
    charging.minutes = 42;
    Inputs critical = percent;
    critical.level = 12;
    critical.minutes = 18;
    Inputs full = percent;
    full.level = 100;
    full.onAC = true;
    full.minutes.reset();
    Inputs desktop;
    desktop.present = false;
    desktop.tempC = 21.6;
    Inputs lowPower = percent;
    lowPower.level = 45;
    lowPower.lowPowerMode = true;
    Inputs pluggedBelowFull = full;
    pluggedBelowFull.level = 99;

    const struct
    {
        const char *name;
        Inputs in;
    } states[] = {
        {"percent", percent},   {"watts", watts},       {"charging", charging},
        {"critical", critical}, {"full", full},         {"desktop", desktop},
        {"low-power", lowPower}, {"plugged-99", pluggedBelowFull},
    };
    for (const auto &state : states)
        save(glyphIcon(state.in, 22), QStringLiteral("tray-icon-%1-22px.png").arg(QLatin1String(state.name)));
}

// The app in a real XEmbed tray (trayer on Xvfb, see scripts/screenshots):
// the tray with the item, then the popover opened under it.
TEST(Screenshots, TrayAndPopover)
{
    if (screenshotsDir().isEmpty() || QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs PENDRA_SCREENSHOTS_DIR and an X display with a tray";
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable()) << "start a tray (trayer) first";

    // The battery menu as the app hosts it, over the same store as the item.
    PanelFixture menu;
    PowerStoreHarness &harness = menu.power;
    harness.snapshots.setSnapshot(onBatterySnap(83, 8.0, 125));
    menu.show(onBatterySnap(83, 8.0, 125), 7.4);
    QTemporaryDir dir;
    Defaults defaults(dir.filePath(QStringLiteral("defaults.json")));
    NotificationCenter notifications;
    LinuxWorkspaceEvents workspace(QDBusConnection::sessionBus(), QDBusConnection::sessionBus());
    TrayIconStatusItem *tray = nullptr;
    AppDelegate delegate(DelegateServices{
        harness.clock, defaults, notifications, harness.store, harness.powerMode, workspace,
        [&]() -> std::unique_ptr<StatusItem> {
            auto item = std::make_unique<TrayIconStatusItem>(harness.clock);
            tray = item.get();
            return item;
        },
        [&menu](QSize size, AppActions &) -> QWidget * {
            return new MainRoot(MainRoot::Services{*menu.model, *menu.charge, *menu.defaults, menu.center,
                                                   menu.actions, *menu.icons, [] { return WhyDrain{}; }},
                                size);
        },
        {}});
    delegate.applicationDidFinishLaunching();
    trackWhileShown(*delegate.popover(), *menu.model);
    ASSERT_NE(tray, nullptr);
    ASSERT_TRUE(spinUntil([&] { return tray->iconGeometry().isValid() && tray->iconGeometry().width() > 1; }, 5000));
    spinUntil([] { return false; }, 500);

    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect icon = tray->iconGeometry();
    const QRect strip = QRect(icon.left() - 200, 0, 260, icon.bottom() + 10).intersected(screen->geometry());
    const QImage trayShot = screen->grabWindow(0, strip.x(), strip.y(), strip.width(), strip.height()).toImage();
    ASSERT_FALSE(trayShot.isNull());
    ASSERT_TRUE(trayShot.save(QDir(screenshotsDir()).filePath(QStringLiteral("tray-xembed.png"))));

    harness.clock.advance(5);
    delegate.popover()->show(tray->popoverAnchor());
    ASSERT_TRUE(spinUntil([&] { return delegate.popover()->isShown(); }, 2000));
    spinUntil([] { return false; }, 700);
    const QRect panel = delegate.popover()->panel()->frameGeometry();
    const QRect area = panel.united(icon).adjusted(-20, -4, 20, 20).intersected(screen->geometry());
    const QImage popoverShot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    ASSERT_TRUE(popoverShot.save(QDir(screenshotsDir()).filePath(QStringLiteral("popover-under-tray-icon.png"))));
    EXPECT_GE(panel.top(), icon.bottom()) << "the popover hangs below the icon";
    delegate.popover()->close();
}
