// A reply body as a provider, the weather service or the place-name server
// sends it (or anyone in between): the first byte picks the parser.

#include "assistant/ai_provider.h"
#include "assistant/ai_reply_parser.h"
#include "assistant/weather_forecast.h"
#include "fuzz_checks.h"
#include "platform/linux/nominatim_reverse_geocoder.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray body(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    switch (data[0] % 6) {
    case 0:
    case 1:
    case 2:
    case 3: {
        const auto provider = static_cast<PlusAIProvider>(data[0] % 4);
        // Successful and refused statuses take different paths.
        PlusAIReplies::parse(provider, 200, body);
        PlusAIReplies::parse(provider, 429, body);
        break;
    }
    case 4:
        if (const std::optional<WeatherReading> reading = parseOpenMeteoCurrent(body)) {
            require(!reading->tempC || std::isfinite(*reading->tempC), "a temperature is a number");
            require(!reading->windKmh || std::isfinite(*reading->windKmh), "a wind speed is a number");
        }
        break;
    default:
        parseNominatimReverse(body);
        break;
    }
    return 0;
}
