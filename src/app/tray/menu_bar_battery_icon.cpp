#include "app/tray/menu_bar_battery_icon.h"

#include "app/tray/battery_glyph.h"
#include "platform/format.h"
#include "power/bat_snap.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace MenuBarBatteryIcon {

namespace {

using BatteryMenuChrome::BatteryTint;

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

} // namespace MenuBarBatteryIcon
