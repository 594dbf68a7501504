#include "charge/firmware_charge_limit.h"

#include "charge/charge_decision.h"
#include "platform/defaults.h"

#include <cerrno>

namespace {

const QString kOriginalKey = QStringLiteral("pendrapro.chargeLimit.firmwareThresholds.v1");
// Threshold files come with a driver, at boot or when its module is loaded
// later, not from one tick to the next; looking for absent ones on every
// tick would walk the supplies folder every few seconds for nothing.
constexpr double kLookAgainForThresholdsAfter = 60.0;

std::optional<int> percentFrom(const QString &text)
{
    bool ok = false;
    const int percent = text.toInt(&ok);
    if (!ok || percent < 0 || percent > 100)
        return std::nullopt;
    return percent;
}

} // namespace

QString firmwareThresholdsText(const ChargeThresholdValues &values)
{
    return (values.start ? QString::number(*values.start) : QString()) + QLatin1Char(',')
        + QString::number(values.end);
}

std::optional<ChargeThresholdValues> parseFirmwareThresholds(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    const std::optional<int> end = percentFrom(parts[1]);
    const std::optional<int> start = percentFrom(parts[0]);
    if (!end || (!start && !parts[0].isEmpty()))
        return std::nullopt;
    return ChargeThresholdValues{start, *end};
}

FirmwareChargeLimit::FirmwareChargeLimit(ChargeThresholds &thresholds, Defaults &defaults, const Clock &clock)
    : m_thresholds(thresholds)
    , m_defaults(defaults)
    , m_clock(clock)
{
}

void FirmwareChargeLimit::hold(int endPercent)
{
    if (m_yielded)
        return;
    const std::optional<ChargeThresholdValues> current = readThresholds();
    if (!current)
        return;
    ChargeThresholdValues wanted{std::nullopt, endPercent};
    if (current->start)
        wanted.start = endPercent - kChargeHysteresisPoints;
    if (*current == wanted || yieldsTo(current->end, endPercent))
        return;
    rememberOriginal(*current);
    moveTo(wanted);
}

void FirmwareChargeLimit::release(int heldPercent)
{
    if (m_yielded)
        return;
    // Nothing was ever moved: no need to read the firmware on every tick.
    const std::optional<ChargeThresholdValues> remembered = original();
    if (!remembered)
        return;
    const std::optional<ChargeThresholdValues> current = readThresholds();
    if (!current)
        return;
    ChargeThresholdValues wanted = *remembered;
    if (!current->start)
        wanted.start.reset();
    if (*current == wanted || yieldsTo(current->end, heldPercent))
        return;
    moveTo(wanted);
}

void FirmwareChargeLimit::limitChanged()
{
    // Choosing a limit after the report answers it: the other tool's
    // threshold may now be replaced.
    if (m_yielded)
        m_overruledEnd = m_foreignEnd;
    m_yielded = false;
    m_refused.reset();
    m_problem.reset();
    m_noneFoundAt.reset();
}

std::optional<ChargeThresholdValues> FirmwareChargeLimit::readThresholds()
{
    const double now = m_clock.uptime();
    if (m_noneFoundAt && now - *m_noneFoundAt < kLookAgainForThresholdsAfter)
        return std::nullopt;
    std::optional<ChargeThresholdValues> current = m_thresholds.read();
    m_noneFoundAt = current ? std::nullopt : std::optional<double>(now);
    return current;
}

std::optional<ChargeThresholdValues> FirmwareChargeLimit::original() const
{
    const std::optional<QString> text = m_defaults.stringValue(kOriginalKey);
    return text ? parseFirmwareThresholds(*text) : std::nullopt;
}

void FirmwareChargeLimit::rememberOriginal(const ChargeThresholdValues &current)
{
    if (!original())
        m_defaults.setString(kOriginalKey, firmwareThresholdsText(current));
}

bool FirmwareChargeLimit::yieldsTo(int end, int heldPercent)
{
    const std::optional<ChargeThresholdValues> remembered = original();
    // Before the first write the thresholds in force are the system's own.
    if (!remembered || end == remembered->end || end == heldPercent || end == m_lastWrittenEnd
        || end == m_overruledEnd)
        return false;
    m_yielded = true;
    m_foreignEnd = end;
    m_problem = QStringLiteral("Another tool set the charge threshold to %1 %").arg(end);
    return true;
}

void FirmwareChargeLimit::moveTo(const ChargeThresholdValues &wanted)
{
    if (m_refused == wanted)
        return;
    switch (m_thresholds.write(wanted)) {
    case 0:
        m_lastWrittenEnd = wanted.end;
        m_overruledEnd.reset();
        m_refused.reset();
        m_problem.reset();
        return;
    case EACCES:
    case EPERM:
        m_problem = QStringLiteral("The firmware limit needs write access to charge_control_end_threshold — "
                                   "see the README's Charge management.");
        break;
    default:
        m_problem = QStringLiteral("The battery's firmware refused a charge threshold of %1 %.").arg(wanted.end);
        break;
    }
    m_refused = wanted;
}
