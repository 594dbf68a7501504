#include "power/battery_text_readers.h"

#include "power/battery_registry_values.h"

#include <QRegularExpression>

#include <cstdlib>

namespace {

// Amperages beyond 30 A in ioreg's text are misprinted bit patterns.
constexpr qint64 kIoregAmperageLimitMA = 30000;
constexpr qint64 kWidenedAmperageLimitMA = 499999;

// A decimal integer as ioreg prints it. Registry numbers are 64-bit, and an
// unsigned one beyond the signed range (a negative value's bit pattern) keeps
// its bits. Digits beyond 64 bits are no number at all.
struct PrintedInteger
{
    qint64 value = 0;
    bool beyondSigned = false;
    quint64 bits = 0;
};

std::optional<PrintedInteger> parsePrintedInteger(const QString &digits)
{
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok, 10);
    if (ok)
        return PrintedInteger{value, false, static_cast<quint64>(value)};
    const quint64 bits = digits.toULongLong(&ok, 10);
    if (ok)
        return PrintedInteger{0, true, bits};
    return std::nullopt;
}

bool within(qint64 value, qint64 limit)
{
    return value >= -limit && value <= limit;
}

class IoregText
{
public:
    explicit IoregText(const QString &text)
        : m_text(text)
    {
    }

    // The first `"key" = <group>` in the text.
    std::optional<PrintedInteger> printed(const char *key, const char *group = "(\\d+)") const
    {
        const QRegularExpressionMatch match = QRegularExpression(keyPattern(key) + QLatin1String(group)).match(m_text);
        if (!match.hasMatch())
            return std::nullopt;
        return parsePrintedInteger(match.captured(1));
    }

    // As `printed`, for keys whose values are never bit patterns.
    std::optional<qint64> integer(const char *key, const char *group = "(\\d+)") const
    {
        const auto number = printed(key, group);
        if (!number || number->beyondSigned)
            return std::nullopt;
        return number->value;
    }

    std::optional<quint64> unsignedInteger(const char *key) const
    {
        const QRegularExpressionMatch match = QRegularExpression(keyPattern(key) + QLatin1String("(\\d+)")).match(m_text);
        bool ok = false;
        const quint64 value = match.hasMatch() ? match.captured(1).toULongLong(&ok, 10) : 0;
        return ok ? std::optional<quint64>(value) : std::nullopt;
    }

    std::optional<bool> boolean(const char *key) const
    {
        const QString pattern = keyPattern(key);
        if (QRegularExpression(pattern + QLatin1String("Yes")).match(m_text).hasMatch())
            return true;
        if (QRegularExpression(pattern + QLatin1String("No")).match(m_text).hasMatch())
            return false;
        const QRegularExpressionMatch digit = QRegularExpression(pattern + QLatin1String("([01])\\b")).match(m_text);
        if (digit.hasMatch())
            return digit.captured(1) == QLatin1String("1");
        return std::nullopt;
    }

private:
    static QString keyPattern(const char *key)
    {
        return QLatin1Char('"') + QRegularExpression::escape(QLatin1String(key)) + QLatin1String("\"\\s*=\\s*");
    }

    const QString &m_text;
};

// ioreg prints a negative amperage as its unsigned 64-bit pattern, and some
// firmware stores a negative 32-bit value without sign extension.
std::optional<qint64> repairedAmperage(const IoregText &ioreg, const PrintedInteger &amperage)
{
    if (!amperage.beyondSigned && within(amperage.value, kIoregAmperageLimitMA))
        return amperage.value;
    if (auto bits = ioreg.unsignedInteger("InstantAmperage")) {
        const qint64 reinterpreted = static_cast<qint64>(*bits);
        if (within(reinterpreted, kIoregAmperageLimitMA))
            return reinterpreted;
    }
    if (amperage.beyondSigned) {
        const qint64 low = static_cast<qint32>(static_cast<quint32>(amperage.bits & 0xffffffffu));
        return within(low, kWidenedAmperageLimitMA) ? std::optional<qint64>(low) : std::nullopt;
    }
    // What no repair brings into range (INT_MIN, say) is no amperage.
    const qint64 repaired = repairWidenedInteger(amperage.value, kWidenedAmperageLimitMA);
    return within(repaired, kWidenedAmperageLimitMA) ? std::optional<qint64>(repaired) : std::nullopt;
}

} // namespace

BatSourceReading parsePmset(const std::optional<QString> &text)
{
    BatSourceReading reading;
    reading.name = QStringLiteral("pmset");
    if (!text || text->isEmpty())
        return reading;

    static const QRegularExpression batteryNamed(QStringLiteral("InternalBattery|Battery Power|AC Power"));
    if (batteryNamed.match(*text).hasMatch())
        reading.present = text->contains(QLatin1String("InternalBattery")) || text->contains(QLatin1String("Battery Power"))
            || text->contains(QLatin1Char('%'));

    static const QRegularExpression percent(QStringLiteral("(\\d{1,3})\\s*%"));
    const QRegularExpressionMatch level = percent.match(*text);
    if (level.hasMatch()) {
        bool ok = false;
        const int value = level.captured(0).remove(QLatin1Char('%')).trimmed().toInt(&ok);
        if (ok && value >= 0 && value <= 100)
            reading.level = value;
    }

    const QString lower = text->toLower();
    if (lower.contains(QLatin1String("not charging"))) {
        // Held at a charge limit on AC: "AC attached; not charging".
        reading.charging = false;
        reading.onAC = true;
    } else if (lower.contains(QLatin1String("charging")) && !lower.contains(QLatin1String("discharging"))) {
        reading.charging = true;
        reading.onAC = true;
    } else if (lower.contains(QLatin1String("discharging"))) {
        reading.charging = false;
        reading.onAC = false;
    } else if (lower.contains(QLatin1String("charged")) || lower.contains(QLatin1String("finishing charge"))) {
        reading.charging = false;
        reading.onAC = true;
    }
    if (lower.contains(QLatin1String("ac power")) || lower.contains(QLatin1String("attached")))
        reading.onAC = true;

    static const QRegularExpression remaining(QStringLiteral("(\\d{1,3}):(\\d{2})\\s+remaining"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression clock(QStringLiteral("(\\d{1,3}):(\\d{2})"));
    const QRegularExpressionMatch estimate = remaining.match(*text);
    if (estimate.hasMatch()) {
        const QStringList parts = clock.match(estimate.captured(0)).captured(0).split(QLatin1Char(':'));
        bool hoursOk = false;
        bool minutesOk = false;
        const int hours = parts.size() == 2 ? parts[0].toInt(&hoursOk) : 0;
        const int minutes = parts.size() == 2 ? parts[1].toInt(&minutesOk) : 0;
        if (hoursOk && minutesOk)
            reading.minutes = validMinutes(hours * 60 + minutes);
    }
    return reading;
}

BatSourceReading parseIoreg(const std::optional<QString> &text)
{
    BatSourceReading reading;
    reading.name = QStringLiteral("ioreg");
    if (!text
        || !(text->contains(QLatin1String("AppleSmartBattery")) || text->contains(QLatin1String("MaxCapacity"))
             || text->contains(QLatin1String("CurrentCapacity"))))
        return reading;
    const IoregText ioreg(*text);
    reading.present = true;

    reading.rawCurrent = fitInt(firstKnown(ioreg.integer("AppleRawCurrentCapacity"),
                                       ioreg.integer("AppleRawCurrentCapacity", "(-?\\d+)")));
    reading.rawMax = fitInt(firstKnown(ioreg.integer("AppleRawMaxCapacity"), ioreg.integer("MaxCapacity")));
    const auto currentCapacity = ioreg.integer("CurrentCapacity");
    reading.charging = ioreg.boolean("IsCharging");
    const auto external = ioreg.boolean("ExternalConnected");
    reading.cycles = fitInt(ioreg.integer("CycleCount"));
    reading.design = fitInt(ioreg.integer("DesignCapacity"));
    reading.voltageMV = fitInt(firstKnown(ioreg.integer("AppleRawBatteryVoltage"), ioreg.integer("Voltage")));
    const auto amperage = firstKnown(ioreg.printed("InstantAmperage", "(-?\\d+)"), ioreg.printed("Amperage", "(-?\\d+)"));

    if (reading.rawCurrent && reading.rawMax && *reading.rawMax >= 1)
        reading.level = percentOf(*reading.rawCurrent, *reading.rawMax);
    else if (currentCapacity && *currentCapacity <= 100)
        reading.level = static_cast<int>(*currentCapacity);

    reading.onAC = reading.charging == true ? std::optional<bool>(true) : external;
    if (reading.rawMax && reading.design && *reading.design > 0)
        reading.health = percentOf(*reading.rawMax, *reading.design);

    if (amperage)
        reading.amperageMA = fitInt(repairedAmperage(ioreg, *amperage));
    if (reading.voltageMV && *reading.voltageMV >= 1 && reading.amperageMA && *reading.amperageMA != 0)
        reading.chargeW = std::abs(*reading.amperageMA) / 1000.0 * *reading.voltageMV / 1000.0;

    const auto toEmpty = validMinutes(ioreg.integer("AvgTimeToEmpty"));
    const auto toFull = validMinutes(ioreg.integer("AvgTimeToFull"));
    if (reading.charging != true)
        reading.minutes = toEmpty;
    if (toFull && reading.charging == true)
        reading.minutes = toFull;
    if (!reading.minutes)
        reading.minutes = validMinutes(ioreg.integer("TimeRemaining"));
    return reading;
}
