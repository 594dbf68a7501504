#pragma once

#include "power/bat_snap.h"

#include <QString>

#include <optional>

// Readings parsed from the text the battery tools print; `text` is absent
// when the tool could not be run.

// "pmset": the output of `pmset -g batt`.
BatSourceReading parsePmset(const std::optional<QString> &text);
// "ioreg": the output of `ioreg -rn AppleSmartBattery -c AppleSmartBattery`.
BatSourceReading parseIoreg(const std::optional<QString> &text);
