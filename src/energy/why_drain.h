#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// One process the drain log recorded as a leading energy consumer.
struct DrainCulprit
{
    QString name;
    double share = 0; // 0…1 of all scores logged in the window
    QString note; // "62% of attributed energy samples"

    bool operator==(const DrainCulprit &) const = default;
};

// The answer to "Why did battery drop?" over the last hour of the drain log.
struct WhyDrain
{
    int dropPercent = 0; // percentage points, never negative
    QString windowLabel; // always "last hour"
    QList<DrainCulprit> culprits; // at most 3, strongest first
    QString summary;

    bool operator==(const WhyDrain &) const = default;
};

inline constexpr double kWhyDrainWindowSeconds = 3600;

// The analysis of a drain log's text at time `now` (seconds since the epoch).
// Lines that are not records, or older than the window, are skipped.
WhyDrain analyseDrainLog(const QByteArray &text, double now);

// The answer when the log cannot be read at all.
WhyDrain whyDrainWithoutHistory();

// The plain-language summary: the sentence for the drop and the leading
// culprit (absent when none), then the notes on display and system sleep.
QString whyDrainSummary(int dropPercent, const std::optional<QString> &leadingCulprit,
                        const QMap<QString, int> &eventCounts);
