#pragma once

#include <QString>

#include <optional>
#include <string_view>

// ISO 8601 internet date-times as the drain log stores them.

// "2025-03-01T09:15:02Z": UTC, whole seconds (fractions are dropped, not rounded).
QString formatIsoUtc(double secondsSinceEpoch);

// Seconds since the epoch of an ISO 8601 date-time ("…Z", "…+01:00",
// optional fractional seconds). The common UTC form is parsed by hand because
// the drain log holds tens of thousands of stamps; any other form goes through
// Qt's parser. Absent when the text is not a date.
std::optional<double> parseIsoDate(std::string_view text);
