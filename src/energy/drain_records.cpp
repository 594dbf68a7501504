#include "energy/drain_records.h"

#include "energy/iso_time.h"
#include "energy/record_scanner.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

namespace {

QByteArray line(QJsonObject record, double now, const char *kind)
{
    record.insert(QStringLiteral("t"), formatIsoUtc(now));
    record.insert(QStringLiteral("kind"), QLatin1String(kind));
    return QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

QString drainEventName(DrainEvent event)
{
    switch (event) {
    case DrainEvent::DisplaySleep:
        return QStringLiteral("display_sleep");
    case DrainEvent::DisplayWake:
        return QStringLiteral("display_wake");
    case DrainEvent::SystemSleep:
        return QStringLiteral("system_sleep");
    case DrainEvent::SystemWake:
        return QStringLiteral("system_wake");
    case DrainEvent::BatteryPackChange:
        return QStringLiteral("battery_pack_change");
    }
    return {};
}

QByteArray powerRecordLine(double now, int levelPercent, double packageWatts, double chargeWatts,
                           bool charging, const QString &topName, double topScore)
{
    QJsonObject record;
    record.insert(QStringLiteral("level"), levelPercent);
    record.insert(QStringLiteral("packageW"), packageWatts);
    record.insert(QStringLiteral("chargeW"), chargeWatts);
    record.insert(QStringLiteral("charging"), charging);
    record.insert(QStringLiteral("top"), topName);
    record.insert(QStringLiteral("topScore"), topScore);
    return line(record, now, "power");
}

QByteArray procRecordLine(double now, const QString &name, double score, double cpuPercent)
{
    QJsonObject record;
    record.insert(QStringLiteral("name"), name);
    record.insert(QStringLiteral("score"), score);
    record.insert(QStringLiteral("cpu"), cpuPercent);
    return line(record, now, "proc");
}

QByteArray eventRecordLine(double now, const QString &name)
{
    QJsonObject record;
    record.insert(QStringLiteral("name"), name);
    return line(record, now, "event");
}

std::optional<double> recordTime(std::string_view line)
{
    const RecordScan scan = scanRecord(line);
    switch (scan.verdict) {
    case RecordScan::Verdict::NotAnObject:
        return std::nullopt;
    case RecordScan::Verdict::Object:
        if (!scan.time)
            return std::nullopt;
        return parseIsoDate(*scan.time);
    case RecordScan::Verdict::Unsure:
        break;
    }
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromRawData(line.data(), static_cast<qsizetype>(line.size())));
    const QJsonValue time = document.object().value(QStringLiteral("t"));
    if (!document.isObject() || !time.isString())
        return std::nullopt;
    return parseIsoDate(time.toString().toStdString());
}

bool keepRecordsSince(QByteArray &text, double cutoff)
{
    // Kept lines move down within the same buffer: a month of records is
    // tens of megabytes, and a second buffer would double the trim's memory.
    char *const data = text.data();
    const char *const end = data + text.size();
    qsizetype keptSize = 0;
    bool dropped = false;
    bool missingFinalFeed = false;
    for (const char *line = data; line < end;) {
        const char *feed = static_cast<const char *>(memchr(line, '\n', static_cast<size_t>(end - line)));
        const char *lineEnd = feed ? feed : end;
        const auto length = static_cast<size_t>(lineEnd - line);
        const auto time = length > 0 ? recordTime(std::string_view(line, length)) : std::nullopt;
        if (time && *time >= cutoff) {
            memmove(data + keptSize, line, length);
            keptSize += static_cast<qsizetype>(length);
            if (feed)
                data[keptSize++] = '\n'; // never past this line's own feed
            else
                missingFinalFeed = true;
        } else {
            dropped = true;
        }
        line = lineEnd + 1;
    }
    text.truncate(keptSize);
    if (missingFinalFeed)
        text.append('\n');
    return dropped || missingFinalFeed;
}
