#pragma once

#include <QDate>

// Where a span of whole local days begins: today alone is one day.
struct HistorySpan
{
    qint64 sinceHour = 0; // Unix seconds: the UTC hour holding the first day's local midnight
    QDate sinceDay; // the first local day

    // The `days` local days up to and including the day of `now` (wall-clock
    // seconds); at least one.
    static HistorySpan lastDays(double now, int days);
    // The 24 hours before `now`, by whole hours.
    static HistorySpan last24Hours(double now);
};
