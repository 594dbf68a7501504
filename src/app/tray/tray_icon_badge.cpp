#include "app/tray/tray_icon_badge.h"

#include "app/tray/battery_glyph.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace TrayIconBadge {

namespace {

using BatteryMenuChrome::BatteryTint;

// Share of the icon's height given to the glyph under the digits.
constexpr double kGlyphShare = 0.32;

QRect glyphArea(int sizePx)
{
    const int height = static_cast<int>(std::lround(sizePx * kGlyphShare));
    return QRect(0, sizePx - height, sizePx, height);
}

// The largest bold, condensed face whose digits fit `area`; hinted pixel
// sizes keep the strokes on whole pixels at 16 px.
QFont digitFont(const QString &digits, const QRect &area)
{
    QFont font;
    font.setStretch(QFont::Condensed);
    font.setWeight(QFont::Bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    for (int pixels = area.height() * 2; pixels > 4; --pixels) {
        font.setPixelSize(pixels);
        const QRectF ink = QFontMetricsF(font).tightBoundingRect(digits);
        if (ink.width() <= area.width() && ink.height() <= area.height())
            break;
    }
    return font;
}

void drawDigits(QPainter &painter, const QString &digits, const QRect &area, const QColor &color)
{
    const QFont font = digitFont(digits, area);
    const QRectF ink = QFontMetricsF(font).tightBoundingRect(digits);
    // Centre the ink, not the line box: digits have no descenders.
    const QPointF origin(std::round(area.center().x() + 0.5 - ink.width() / 2 - ink.left()),
                         std::round(area.center().y() + 0.5 - ink.height() / 2 - ink.top()));
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(origin, digits);
}

} // namespace

QColor foreground(PanelTone tone)
{
    return tone == PanelTone::dark ? QColor(0xff, 0xff, 0xff) : QColor(0x1f, 0x1f, 0x1f);
}

QColor tintColor(BatteryTint tint, PanelTone tone)
{
    const bool dark = tone == PanelTone::dark;
    switch (tint) {
    case BatteryTint::charging:
        return dark ? QColor(0x4a, 0xde, 0x80) : QColor(0x11, 0x6b, 0x32);
    case BatteryTint::critical:
        return dark ? QColor(0xff, 0x94, 0x94) : QColor(0xb7, 0x1c, 0x1c);
    case BatteryTint::lowPower:
        // Yellow cannot reach 4.5:1 on a light panel; a deep amber can.
        return dark ? QColor(0xff, 0xd4, 0x3b) : QColor(0x7a, 0x56, 0x00);
    case BatteryTint::discharging:
        break;
    }
    return foreground(tone);
}

QRect digitArea(int sizePx)
{
    const QRect glyph = glyphArea(sizePx);
    // One pixel apart from the glyph.
    return QRect(0, 0, sizePx, glyph.top() - 1);
}

QImage render(const MenuBarBatteryIcon::Inputs &inputs, int sizePx, PanelTone tone, bool showPercent)
{
    QImage icon(sizePx, sizePx, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    const QString name = MenuBarBatteryIcon::glyphName(inputs);
    const QColor glyphColor = tintColor(MenuBarBatteryIcon::tint(inputs), tone);
    if (!showPercent || !inputs.present) {
        const double margin = std::max(1.0, sizePx / 16.0);
        BatteryGlyph::draw(painter, QRectF(margin, margin, sizePx - 2 * margin, sizePx - 2 * margin), name,
                           glyphColor, 1.0);
        return icon;
    }
    BatteryGlyph::draw(painter, glyphArea(sizePx), name, glyphColor, 1.0);
    drawDigits(painter, QString::number(std::clamp(inputs.level, 0, 100)), digitArea(sizePx), foreground(tone));
    return icon;
}

} // namespace TrayIconBadge
