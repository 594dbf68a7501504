// Renders the status item's images to PNG for visual review. Runs only when
// PENDRA_SCREENSHOTS_DIR names the output folder (scripts/screenshots).
#include "app/menu_bar_battery_icon.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

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
    for (const auto &state : states) {
        const QImage oneX = image(state.in, 1.0);
        const QImage twoX = image(state.in, 2.0);
        EXPECT_EQ(oneX.height(), 20);
        EXPECT_EQ(twoX.height(), 40);
        save(oneX, QStringLiteral("status-item-%1@1x.png").arg(QLatin1String(state.name)));
        save(twoX, QStringLiteral("status-item-%1@2x.png").arg(QLatin1String(state.name)));
        save(glyphIcon(state.in, 22), QStringLiteral("tray-icon-%1-22px.png").arg(QLatin1String(state.name)));
    }
}
