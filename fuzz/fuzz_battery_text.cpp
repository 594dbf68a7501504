// The text of the two battery tools, read by both parsers and merged.

#include "fuzz_checks.h"
#include "power/battery_merge.h"
#include "power/battery_text_readers.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const BatSourceReading pmset = parsePmset(text);
    const BatSourceReading ioreg = parseIoreg(text);
    requireSaneReading(pmset);
    requireSaneReading(ioreg);
    requireSaneSnapshot(mergeBatteryReadings({pmset, ioreg}));
    return 0;
}
