// Drain-log text, as a hand-edited or half-written file may hold it: the line
// scan, the trim and the why-drain analysis.

#include "energy/drain_records.h"
#include "energy/record_scanner.h"
#include "energy/why_drain.h"
#include "fuzz_checks.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // "Now" just after the newest record keeps the input's records inside the
    // analysed hour.
    double newest = 0;
    forEachLine(text, [&](std::string_view line) {
        scanRecord(line);
        if (const auto time = recordTime(line); time && std::isfinite(*time))
            newest = std::max(newest, *time);
    });

    const WhyDrain why = analyseDrainLog(text, newest + 60);
    require(why.dropPercent >= 0, "the drop is never negative");
    require(why.culprits.size() <= 3, "at most three culprits");
    for (const DrainCulprit &culprit : why.culprits)
        require(culprit.share >= 0 && culprit.share <= 1, "a culprit's share lies within 0-1");

    QByteArray kept = text;
    keepRecordsSince(kept, newest - kWhyDrainWindowSeconds);
    require(kept.isEmpty() || kept.endsWith('\n'), "kept records end with a line feed");
    return 0;
}
