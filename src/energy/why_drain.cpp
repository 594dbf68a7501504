#include "energy/why_drain.h"

#include "energy/drain_records.h"
#include "platform/format.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr int kMaxCulprits = 3;

QString windowLabel()
{
    return QStringLiteral("last hour");
}

std::optional<int> integerValue(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::trunc(number) || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(number);
}

// What the window's records add up to.
struct WindowTally
{
    // (time, level percent) runs, a new one after each pack inserted or
    // removed, in the file's order: the log writes a change before the
    // first level it affects.
    std::vector<std::vector<std::pair<double, int>>> levelRuns{1};
    QMap<QString, double> scores;
    QMap<QString, int> events;

    void add(const QJsonObject &record, double time)
    {
        const QString kind = record.value(QStringLiteral("kind")).toString();
        const QJsonValue name = record.value(QStringLiteral("name"));
        if (kind == QLatin1String("power")) {
            const auto level = integerValue(record.value(QStringLiteral("level")));
            // A level outside 0–100 is not a battery reading (a hand-edited
            // log), and two of them could overflow the drop.
            if (!level || *level < 0 || *level > 100)
                return;
            levelRuns.back().emplace_back(time, *level);
            const QJsonValue top = record.value(QStringLiteral("top"));
            const QJsonValue topScore = record.value(QStringLiteral("topScore"));
            if (top.isString() && !top.toString().isEmpty() && topScore.isDouble())
                scores[top.toString()] += topScore.toDouble();
        } else if (kind == QLatin1String("proc")) {
            const QJsonValue score = record.value(QStringLiteral("score"));
            if (name.isString() && score.isDouble())
                scores[name.toString()] += score.toDouble();
        } else if (kind == QLatin1String("event")) {
            if (name.isString())
                events[name.toString()] += 1;
            if (name.toString() == drainEventName(DrainEvent::BatteryPackChange))
                levelRuns.emplace_back();
        }
    }

    // The runs' drops added up: the jump when a pack comes or goes is not
    // energy anything used.
    int dropPercent()
    {
        qint64 drop = 0;
        for (auto &levels : levelRuns) {
            if (levels.empty())
                continue;
            std::stable_sort(levels.begin(), levels.end(),
                             [](const auto &a, const auto &b) { return a.first < b.first; });
            drop += std::max(levels.front().second - levels.back().second, 0);
        }
        // A hand-edited log full of pack changes must not overflow the sum.
        return static_cast<int>(std::min<qint64>(drop, 100));
    }

    QList<DrainCulprit> culprits() const
    {
        double total = 0;
        std::vector<std::pair<QString, double>> ranked;
        for (auto it = scores.cbegin(); it != scores.cend(); ++it) {
            total += it.value();
            ranked.emplace_back(it.key(), it.value());
        }
        // Ties keep the map's name order, so the answer is the same every time.
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto &a, const auto &b) { return a.second > b.second; });
        QList<DrainCulprit> result;
        for (const auto &[name, score] : ranked) {
            if (result.size() == kMaxCulprits)
                break;
            const double share = total > 0 ? score / total : 0;
            result.append({name, share, formatPrintf("%.0f%% of attributed energy samples", share * 100)});
        }
        return result;
    }
};

} // namespace

WhyDrain analyseDrainLog(const QByteArray &text, double now)
{
    const double windowStart = now - kWhyDrainWindowSeconds;
    WindowTally tally;
    forEachLine(text, [&](std::string_view line) {
        const auto time = recordTime(line);
        if (!time || *time < windowStart)
            return;
        const QJsonDocument document = QJsonDocument::fromJson(
            QByteArray::fromRawData(line.data(), static_cast<qsizetype>(line.size())));
        tally.add(document.object(), *time);
    });

    WhyDrain result;
    result.dropPercent = tally.dropPercent();
    result.windowLabel = windowLabel();
    result.culprits = tally.culprits();
    const std::optional<QString> leading = result.culprits.isEmpty()
        ? std::nullopt
        : std::optional<QString>(result.culprits.first().name);
    result.summary = whyDrainSummary(result.dropPercent, leading, tally.events);
    return result;
}

WhyDrain whyDrainWithoutHistory()
{
    WhyDrain result;
    result.windowLabel = windowLabel();
    result.summary = QStringLiteral("Not enough local history yet — leave Pendra running while on battery.");
    return result;
}

QString whyDrainSummary(int dropPercent, const std::optional<QString> &leadingCulprit,
                        const QMap<QString, int> &eventCounts)
{
    QString summary;
    if (dropPercent == 0 && !leadingCulprit)
        summary = QStringLiteral("Battery held steady over the last hour (or you were charging).");
    else if (dropPercent == 0)
        summary = QStringLiteral("Battery held steady. Highest energy activity still logged for reference.");
    else if (!leadingCulprit)
        summary = QStringLiteral("Battery dropped ~%1% in the last hour, but no dominant process was logged yet.")
                      .arg(dropPercent);
    else
        summary = QStringLiteral("%1 was responsible for the largest share of energy use while battery dropped ~%2% in the last hour.")
                      .arg(*leadingCulprit, QString::number(dropPercent));

    QStringList notes;
    const int displayWakes = eventCounts.value(QStringLiteral("display_wake"));
    const int displaySleeps = eventCounts.value(QStringLiteral("display_sleep"));
    if (displayWakes >= 2)
        notes << QStringLiteral("Display woke %1× in this window").arg(displayWakes);
    if (displaySleeps >= 1)
        notes << QStringLiteral("Display slept %1×").arg(displaySleeps);
    if (eventCounts.value(QStringLiteral("system_sleep")) >= 1)
        notes << QStringLiteral("System sleep recorded");
    if (!notes.isEmpty())
        summary += QLatin1Char(' ') + notes.join(QStringLiteral(". ")) + QLatin1Char('.');
    return summary;
}
