#pragma once

#include "history/history_records.h"

#include <QString>

#include <optional>

// How fast the battery wears: the least-squares line of health (percent of
// design) against the cycle count, in percent per cycle. None without two
// different cycle counts.
std::optional<double> healthSlopePerCycle(const QList<HealthPoint> &points);

// "about −0.6 % per 100 cycles", once at least 30 days are recorded.
std::optional<QString> healthTrendText(const QList<HealthPoint> &points);

inline constexpr int kTrendMinimumDays = 30;
