#pragma once

#include "platform/charge_thresholds.h"
#include "platform/clock.h"

#include <QString>

#include <optional>

class Defaults;

// Writes the user's charge limit into the battery's firmware thresholds, so
// the limit holds while the app is closed, asleep or crashed, and puts back
// the thresholds found before the first write when management is turned off.
// A threshold that another tool set is never overwritten silently: it is
// reported, and no threshold is written until the user picks a new limit.
// Main thread only.
class FirmwareChargeLimit
{
public:
    FirmwareChargeLimit(ChargeThresholds &thresholds, Defaults &defaults, const Clock &clock = Clock::system());

    // Keeps the firmware's end threshold at `endPercent` and its start
    // threshold the controller's hysteresis below it.
    void hold(int endPercent);
    // Puts back the remembered thresholds. An end threshold at `heldPercent`
    // counts as this app's, as an earlier run may have written it.
    void release(int heldPercent);
    // The user picked another limit: thresholds may be written again.
    void limitChanged();

    bool desktopCanHoldLimit() const { return m_thresholds.desktopCanHoldLimit(); }
    // Why the firmware does not hold the limit, when it should and cannot.
    const std::optional<QString> &problem() const { return m_problem; }
    // Whether the problem is another tool's threshold, left in place.
    bool yieldsToAnotherTool() const { return m_yielded; }

private:
    // The thresholds in force; on a machine without any, asked again only
    // once a while has passed.
    std::optional<ChargeThresholdValues> readThresholds();
    std::optional<ChargeThresholdValues> original() const;
    void rememberOriginal(const ChargeThresholdValues &current);
    // Whether an end threshold of `end` was set by neither this app nor the
    // system before this app's first write; reports it when so.
    bool yieldsTo(int end, int heldPercent);
    void moveTo(const ChargeThresholdValues &wanted);

    ChargeThresholds &m_thresholds;
    Defaults &m_defaults;
    const Clock &m_clock;
    std::optional<double> m_noneFoundAt; // uptime of the last look that found no thresholds
    std::optional<int> m_lastWrittenEnd;
    std::optional<ChargeThresholdValues> m_refused; // not tried again until the wanted values change
    bool m_yielded = false;
    std::optional<int> m_foreignEnd; // the other tool's end threshold while yielded
    std::optional<int> m_overruledEnd; // one the user chose to replace
    std::optional<QString> m_problem;
};

// "start,end" as the remembered thresholds are stored; an empty start where
// the battery has none.
QString firmwareThresholdsText(const ChargeThresholdValues &values);
std::optional<ChargeThresholdValues> parseFirmwareThresholds(const QString &text);
