#include "app/tray/tray_icon_badge.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>

namespace {

using BatteryMenuChrome::BatteryTint;

double relativeLuminance(const QColor &color)
{
    const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Panels seen on the desktops the app runs on, light and dark.
const struct
{
    PanelTone tone;
    QColor panel;
} kPanels[] = {
    {PanelTone::dark, QColor(0x00, 0x00, 0x00)},  {PanelTone::dark, QColor(0x2a, 0x2e, 0x32)},
    {PanelTone::dark, QColor(0x3c, 0x3c, 0x3c)},  {PanelTone::light, QColor(0xff, 0xff, 0xff)},
    {PanelTone::light, QColor(0xef, 0xf0, 0xf1)}, {PanelTone::light, QColor(0xd6, 0xd6, 0xd6)},
};

} // namespace

TEST(TrayIconBadge, DigitsAreInkedAndReadableAtEveryTraySize)
{
    MenuBarBatteryIcon::Inputs inputs;
    inputs.present = true;
    for (int level : {8, 64, 100}) {
        inputs.level = level;
        for (int size : {16, 22, 24, 32}) {
            for (const auto &p : kPanels) {
                QImage onPanel(size, size, QImage::Format_ARGB32);
                onPanel.fill(p.panel);
                QPainter(&onPanel).drawImage(0, 0, TrayIconBadge::render(inputs, size, p.tone, true));

                const QRect area = TrayIconBadge::digitArea(size);
                int inked = 0;
                double best = 1;
                for (int y = area.top(); y <= area.bottom(); ++y) {
                    for (int x = area.left(); x <= area.right(); ++x) {
                        const double ratio = contrastRatio(onPanel.pixelColor(x, y), p.panel);
                        inked += ratio >= 3.0;
                        best = std::max(best, ratio);
                    }
                }
                const std::string where = std::to_string(level) + "% at " + std::to_string(size) + " px on "
                                          + p.panel.name().toStdString();
                EXPECT_GE(inked, size) << where;
                EXPECT_GE(best, 4.5) << where;
            }
        }
    }
}

TEST(TrayIconBadge, StatusTintsStayReadableOnLightAndDarkPanels)
{
    for (BatteryTint tint : {BatteryTint::discharging, BatteryTint::charging, BatteryTint::critical,
                             BatteryTint::lowPower}) {
        for (const auto &p : kPanels) {
            EXPECT_GE(contrastRatio(TrayIconBadge::tintColor(tint, p.tone), p.panel), 4.5)
                << caseName(tint).toStdString() << " on " << p.panel.name().toStdString();
        }
    }
}
