#pragma once

#include <QByteArray>
#include <QString>

#include <cstring>
#include <optional>
#include <string_view>

// The drain log's three record kinds, one compact JSON object per line, each
// stamped "t" (ISO 8601 UTC, whole seconds) and "kind".

// Sleep and wake transitions, and a battery pack inserted or removed (the
// level jumps without any energy used); the stored names are the raw values.
enum class DrainEvent { DisplaySleep, DisplayWake, SystemSleep, SystemWake, BatteryPackChange };
QString drainEventName(DrainEvent event);

// Each line ends with one line feed. Times are seconds since the epoch.
QByteArray powerRecordLine(double now, int levelPercent, double packageWatts, double chargeWatts,
                           bool charging, const QString &topName, double topScore);
QByteArray procRecordLine(double now, const QString &name, double score, double cpuPercent);
QByteArray eventRecordLine(double now, const QString &name);

// The time of a line that is a JSON object with a top-level "t" date string;
// absent for anything else (not JSON, no "t", not a date).
std::optional<double> recordTime(std::string_view line);

// Keeps the lines of `text` dated at or after `cutoff`, each ending in a line
// feed; lines without a readable date are dropped, and so is a partly written
// last line. `text` ends empty when nothing is kept. True when it changed.
bool keepRecordsSince(QByteArray &text, double cutoff);

// Calls `visit(line)` for each non-empty line of `text` (without its line feed).
template <typename Visit>
void forEachLine(const QByteArray &text, Visit &&visit)
{
    const char *data = text.constData();
    const char *end = data + text.size();
    while (data < end) {
        const char *feed = static_cast<const char *>(memchr(data, '\n', static_cast<size_t>(end - data)));
        const char *lineEnd = feed ? feed : end;
        if (lineEnd > data)
            visit(std::string_view(data, static_cast<size_t>(lineEnd - data)));
        data = lineEnd + 1;
    }
}
