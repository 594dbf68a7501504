#include "platform/format.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <vector>

namespace {

// The product's numbers read "7.9 W" in every locale, but QApplication sets
// the process locale from the environment. Format in the C numeric locale on
// this thread only, leaving the rest of the process as the user set it.
class CNumericScope
{
public:
    CNumericScope()
    {
        static const locale_t cNumeric = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
        if (cNumeric)
            m_previous = uselocale(cNumeric);
    }
    ~CNumericScope()
    {
        if (m_previous)
            uselocale(m_previous);
    }
    CNumericScope(const CNumericScope &) = delete;
    CNumericScope &operator=(const CNumericScope &) = delete;

private:
    locale_t m_previous = nullptr;
};

} // namespace

QString formatPrintf(const char *format, ...)
{
    const CNumericScope cNumeric;
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
