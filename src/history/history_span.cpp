#include "history/history_span.h"

#include <QDateTime>

#include <algorithm>

namespace {

constexpr qint64 kHour = 3600;

qint64 hourFloor(qint64 seconds)
{
    return seconds - ((seconds % kHour) + kHour) % kHour;
}

} // namespace

HistorySpan HistorySpan::lastDays(double now, int days)
{
    const QDate today = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(now)).date();
    const QDate first = today.addDays(-(std::max(days, 1) - 1));
    return {hourFloor(QDateTime(first, QTime(0, 0)).toSecsSinceEpoch()), first};
}

HistorySpan HistorySpan::last24Hours(double now)
{
    const qint64 since = hourFloor(static_cast<qint64>(now) - 24 * kHour);
    return {since, QDateTime::fromSecsSinceEpoch(since).date()};
}
