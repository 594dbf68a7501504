#pragma once

#include <QString>

#include <cmath>

// printf-style formatting of user-visible texts. QString::arg rounds halves
// differently from printf ("%.1f" of 12.25 is "12.2"), and the product's texts
// are printf texts.
QString formatPrintf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Percentages and displayed minutes round half away from zero (2.5 → 3, −2.5 → −3).
inline long long roundHalfAway(double value)
{
    return std::llround(value);
}

// Saturates at the int range; NaN gives 0.
inline int roundHalfAwayInt(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::round(value);
    if (rounded >= 2147483647.0)
        return 2147483647;
    if (rounded <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(rounded);
}
