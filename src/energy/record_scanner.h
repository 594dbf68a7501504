#pragma once

#include <optional>
#include <string_view>

// A validating JSON scan of one drain-log line that allocates nothing. Trims
// and the why-drain analysis must look at the time stamp of every line of a
// file that holds up to a month of records; a full JSON parse per line is too
// slow for that, so they scan first and parse only what they keep.
struct RecordScan
{
    enum class Verdict {
        NotAnObject, // not JSON, or JSON but not an object
        Object, // a JSON object; `time` is its top-level "t" when that is a string
        Unsure, // valid-looking but beyond what the scan decides (escaped keys, deep nesting): parse fully
    };

    Verdict verdict = Verdict::NotAnObject;
    // Text between the quotes of the top-level "t" string, without escapes.
    std::optional<std::string_view> time;
};

RecordScan scanRecord(std::string_view line);
