#include "app/tray/menu_bar_battery_icon.h"

#include "app/tray/battery_glyph.h"
#include "platform/format.h"
#include "power/bat_snap.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace MenuBarBatteryIcon {

namespace {

using BatteryMenuChrome::BatteryTint;

// Points are pixels at 1×: images are tagged 72 dpi so that font point
// sizes mean the same as image coordinates.
constexpr int kDotsPerMeterAt72Dpi = 2835;

const QString kTooltipSecondLine = QStringLiteral("Click: menu · Double-click: full window");

bool hasValidMinutes(const std::optional<int> &minutes)
{
    return minutes && isValidMinutes(*minutes);
}

QString temperatureSuffix(const std::optional<double> &tempC)
{
    return tempC ? formatPrintf(" · %.0f°", *tempC) : QString();
}

QString levelBand(int level)
{
    if (level <= 19)
        return QStringLiteral("0");
    if (level <= 44)
        return QStringLiteral("25");
    if (level <= 69)
        return QStringLiteral("50");
    if (level <= 94)
        return QStringLiteral("75");
    return QStringLiteral("100");
}

QImage blankImage(double widthPoints, double heightPoints, double devicePixelRatio)
{
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QImage image(static_cast<int>(std::ceil(widthPoints * ratio)), static_cast<int>(std::ceil(heightPoints * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.setDotsPerMeterX(kDotsPerMeterAt72Dpi);
    image.setDotsPerMeterY(kDotsPerMeterAt72Dpi);
    image.fill(Qt::transparent);
    return image;
}

// Metrics need a device at the images' resolution.
const QImage &metricsDevice()
{
    static const QImage device = blankImage(1, 1, 1.0);
    return device;
}

struct TextSize
{
    double width = 0;
    double height = 0;
};

TextSize measure(const QString &title, const QFont &font)
{
    const QFontMetricsF metrics(font, &metricsDevice());
    return {metrics.horizontalAdvance(title), metrics.height()};
}

// Draws with the top of the text's line box at `top`.
void drawTitle(QPainter &painter, const QString &title, const QFont &font, const QColor &color, double x, double top)
{
    painter.setFont(font);
    painter.setPen(color);
    const QFontMetricsF metrics(font, painter.device());
    painter.drawText(QPointF(x, top + metrics.ascent()), title);
}

} // namespace

std::optional<QString> timeText(std::optional<int> minutes, bool charging, bool onAC, bool present, int level)
{
    if (!present)
        return QStringLiteral("AC");
    if (onAC && !charging)
        return level > 99 ? QStringLiteral("Full") : QStringLiteral("AC");
    if (!hasValidMinutes(minutes))
        return std::nullopt;
    if (*minutes < 60)
        return QString::number(*minutes) + QLatin1Char('m');
    return formatPrintf("%dh %02dm", *minutes / 60, *minutes % 60);
}

QString titleText(const Inputs &in)
{
    const QString suffix = temperatureSuffix(in.tempC);
    if (in.mode == MenuBarDisplayMode::watts) {
        const QString watts = in.watts >= 10.0 ? formatPrintf("%.0fW", in.watts) : formatPrintf("%.1fW", in.watts);
        if (!in.present)
            return watts + suffix;
        return QString::number(in.level) + QStringLiteral("% ") + watts + suffix;
    }
    if (!in.present)
        return QStringLiteral("AC") + suffix;

    QString title = QString::number(in.level) + QLatin1Char('%');
    if (in.onAC && !in.charging) {
        title += in.level > 99 ? QStringLiteral(" Full") : QStringLiteral(" AC");
    } else if (hasValidMinutes(in.minutes)) {
        if (const std::optional<QString> time = timeText(in.minutes, in.charging, in.onAC, in.present, in.level))
            title += QLatin1Char(' ') + *time;
    }
    return title + suffix;
}

BatteryTint tint(const Inputs &in)
{
    if (!in.present)
        return BatteryTint::discharging;
    if (in.charging)
        return BatteryTint::charging;
    if (!in.onAC && in.level <= in.criticalPercent)
        return BatteryTint::critical;
    return in.lowPowerMode ? BatteryTint::lowPower : BatteryTint::discharging;
}

QColor glyphColor(const Inputs &in)
{
    if (in.present && in.charging)
        return QColor::fromRgbF(0.2f, 0.86f, 0.4f);
    if (in.present && !in.onAC && in.criticalPercent >= in.level)
        return QColor::fromRgbF(0.98f, 0.26f, 0.26f);
    if (in.present && in.lowPowerMode)
        return QColor::fromRgbF(1.0f, 0.8f, 0.12f);
    return Qt::white;
}

QString glyphName(const Inputs &in)
{
    if (!in.present)
        return QStringLiteral("powerplug.fill");
    const bool bolt = in.charging || (in.onAC && in.level <= 99);
    const QString name = QStringLiteral("battery.") + levelBand(in.level);
    return bolt ? name + QStringLiteral(".bolt") : name;
}

double titleFontSize(const QString &title)
{
    return title.size() < 7 ? kLargeFontSize : kSmallFontSize;
}

QFont titleFont(double size)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(size);
    font.setWeight(QFont::DemiBold);
    font.setKerning(false); // keeps digits on a fixed advance as the values change
    return font;
}

QImage image(const Inputs &in, double devicePixelRatio)
{
    const QString title = titleText(in);
    const QColor color = glyphColor(in);
    const QString name = glyphName(in);
    const std::optional<QSizeF> symbol = BatteryGlyph::naturalSize(name);
    if (!symbol)
        return textOnlyImage(title, color, devicePixelRatio);

    const QFont font = titleFont(titleFontSize(title));
    const TextSize text = measure(title, font);
    const double glyphWidth = std::clamp(symbol->width(), kMinGlyphWidth, kMaxGlyphWidth);
    const double glyphHeight = std::clamp(symbol->height(), kMinGlyphHeight, kMaxGlyphHeight);
    const double width = std::ceil(text.width + glyphWidth + kGlyphX + kGlyphTextGap + 2 + 1);

    QImage result = blankImage(width, kImageHeight, devicePixelRatio);
    QPainter painter(&result);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    // Offsets are measured from the bottom edge, as in a y-up drawing space.
    const double glyphBottomOffset = std::floor((kImageHeight - glyphHeight) * 0.5);
    const QRectF glyphBox(kGlyphX, kImageHeight - glyphBottomOffset - glyphHeight, glyphWidth, glyphHeight);
    BatteryGlyph::draw(painter, glyphBox, name, color, result.devicePixelRatio());

    const double textBottomOffset = std::floor((kImageHeight - text.height) * 0.5 - 0.5);
    drawTitle(painter, title, font, color, kGlyphX + glyphWidth + kGlyphTextGap,
              kImageHeight - textBottomOffset - text.height);
    return result;
}

QImage textOnlyImage(const QString &title, const QColor &color, double devicePixelRatio)
{
    const QFont font = titleFont(kTextOnlyFontSize);
    const TextSize text = measure(title, font);
    QImage result = blankImage(std::ceil(text.width + 8), kTextOnlyHeight, devicePixelRatio);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // (4, 1) from the bottom-left corner.
    drawTitle(painter, title, font, color, 4, kTextOnlyHeight - 1 - text.height);
    return result;
}

QImage glyphIcon(const Inputs &in, int sizePx)
{
    QImage icon(sizePx, sizePx, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const double margin = std::max(1.0, sizePx / 16.0);
    BatteryGlyph::draw(painter, QRectF(margin, margin, sizePx - 2 * margin, sizePx - 2 * margin), glyphName(in),
                       glyphColor(in), 1.0);
    return icon;
}

double pointWidth(const QImage &image)
{
    return image.width() / image.devicePixelRatio();
}

QString statusKey(const Inputs &in)
{
    const auto flag = [](bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); };
    const QStringList fields{
        rawValue(in.mode),
        QString::number(in.level),
        QString::number(in.minutes.value_or(-1)),
        QString::number(roundHalfAway(in.watts * 10)),
        flag(in.charging),
        flag(in.onAC),
        flag(in.present),
        flag(in.lowPowerMode),
        QString::number(in.criticalPercent),
        caseName(tint(in)),
        QString::number(in.tempC ? roundHalfAway(*in.tempC * 10) : -999),
    };
    return fields.join(QLatin1Char('|'));
}

QString tooltipKey(const QString &key)
{
    constexpr int kWattsField = 3;
    QStringList fields = key.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    if (fields.size() > kWattsField)
        fields.removeAt(kWattsField);
    return fields.join(QLatin1Char('|'));
}

Tooltip tooltip(const Inputs &in)
{
    if (!in.present)
        return {QStringLiteral("Pendra Pro · AC power"), kTooltipSecondLine, QStringLiteral("Pendra Pro, AC power")};
    const QString level = QString::number(in.level);
    return {
        QStringLiteral("Pendra Pro · ") + level + QStringLiteral("% · ") + in.powerTimeText + QStringLiteral(" · ")
            + formatPrintf("%.1f W", in.watts),
        kTooltipSecondLine,
        QStringLiteral("Pendra Pro battery ") + level + QStringLiteral(" percent, ") + in.powerTimeText,
    };
}

double statusItemLength(std::optional<double> imageWidth)
{
    const double length = imageWidth ? std::ceil(*imageWidth + 8) : 48.0;
    return std::clamp(length, 36.0, 160.0);
}

} // namespace MenuBarBatteryIcon
