#include "platform/format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

QString formatPrintf(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    va_list probe;
    va_copy(probe, args);
    const int length = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (length < 0) {
        va_end(args);
        return {};
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    return QString::fromUtf8(buffer.data(), length);
}
