#include "energy/record_scanner.h"

namespace {

// Deeper documents are legal JSON but never written by this program.
constexpr int kMaxScannedDepth = 32;

// Editors put a UTF-8 byte-order mark before the first line of a file they
// save; the JSON parser steps over it, so the scan must too.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

class Scanner
{
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    RecordScan scan()
    {
        if (m_text.starts_with(kByteOrderMark))
            m_pos = kByteOrderMark.size();
        skipSpace();
        if (peek() != '{')
            return {};
        const bool valid = object(0, true) && (skipSpace(), m_pos == m_text.size());
        if (m_unsure)
            return {RecordScan::Verdict::Unsure, std::nullopt};
        if (!valid)
            return {};
        return {RecordScan::Verdict::Object, m_time};
    }

private:
    char peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }

    void skipSpace()
    {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                return;
            ++m_pos;
        }
    }

    bool value(int depth)
    {
        skipSpace();
        switch (peek()) {
        case '{':
            return object(depth + 1, false);
        case '[':
            return array(depth + 1);
        case '"':
            return string(nullptr);
        case 't':
            return literal("true");
        case 'f':
            return literal("false");
        case 'n':
            return literal("null");
        default:
            return number();
        }
    }

    bool object(int depth, bool topLevel)
    {
        if (depth > kMaxScannedDepth) {
            m_unsure = true;
            return false;
        }
        ++m_pos; // '{'
        skipSpace();
        if (peek() == '}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipSpace();
            bool keyEscaped = false;
            const size_t keyStart = m_pos + 1;
            if (peek() != '"' || !string(&keyEscaped))
                return false;
            const std::string_view key = m_text.substr(keyStart, m_pos - 1 - keyStart);
            if (topLevel && keyEscaped) {
                m_unsure = true;
                return false;
            }
            skipSpace();
            if (peek() != ':')
                return false;
            ++m_pos;
            skipSpace();
            if (topLevel && key == "t") {
                if (m_sawTime) { // duplicate keys: leave the choice to the full parser
                    m_unsure = true;
                    return false;
                }
                m_sawTime = true;
                if (peek() == '"') {
                    bool escaped = false;
                    const size_t start = m_pos + 1;
                    if (!string(&escaped))
                        return false;
                    if (escaped) {
                        m_unsure = true;
                        return false;
                    }
                    m_time = m_text.substr(start, m_pos - 1 - start);
                } else if (!value(depth)) {
                    return false;
                }
            } else if (!value(depth)) {
                return false;
            }
            skipSpace();
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == '}') {
                ++m_pos;
                return true;
            }
            return false;
        }
    }

    bool array(int depth)
    {
        if (depth > kMaxScannedDepth) {
            m_unsure = true;
            return false;
        }
        ++m_pos; // '['
        skipSpace();
        if (peek() == ']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            if (!value(depth))
                return false;
            skipSpace();
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == ']') {
                ++m_pos;
                return true;
            }
            return false;
        }
    }

    // At the opening quote; leaves the position after the closing quote.
    bool string(bool *escaped)
    {
        ++m_pos;
        while (m_pos < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_pos]);
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c < 0x20 || (c >= 0x80 && !skipUtf8Sequence())) {
                m_unsure = true;
                return false;
            }
            if (c >= 0x80)
                continue;
            if (c == '\\') {
                if (escaped)
                    *escaped = true;
                ++m_pos;
                const char e = peek();
                if (e == 'u') {
                    for (int i = 1; i <= 4; ++i) {
                        const char h = m_pos + i < m_text.size() ? m_text[m_pos + i] : '\0';
                        const bool hex = (h >= '0' && h <= '9') || (h >= 'a' && h <= 'f') || (h >= 'A' && h <= 'F');
                        if (!hex)
                            return false;
                    }
                    m_pos += 5;
                    continue;
                }
                if (e != '"' && e != '\\' && e != '/' && e != 'b' && e != 'f' && e != 'n' && e != 'r' && e != 't') {
                    m_unsure = m_pos < m_text.size();
                    return false;
                }
            }
            ++m_pos;
        }
        return false;
    }

    // At a byte >= 0x80: steps over one well-formed UTF-8 sequence.
    bool skipUtf8Sequence()
    {
        const auto byte = [this](size_t at) {
            return at < m_text.size() ? static_cast<unsigned char>(m_text[at]) : 0u;
        };
        const unsigned lead = byte(m_pos);
        size_t length = 0;
        unsigned low = 0x80, high = 0xBF; // allowed range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
            high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (byte(m_pos + 1) < low || byte(m_pos + 1) > high)
            return false;
        for (size_t i = 2; i < length; ++i) {
            if (byte(m_pos + i) < 0x80 || byte(m_pos + i) > 0xBF)
                return false;
        }
        m_pos += length;
        return true;
    }

    bool literal(std::string_view word)
    {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }

    bool digitRun()
    {
        const size_t start = m_pos;
        while (peek() >= '0' && peek() <= '9')
            ++m_pos;
        return m_pos > start;
    }

    bool number()
    {
        const size_t start = m_pos;
        if (strictNumber() && !isNumberCharacter(peek()) && !mayOverflow(m_text.substr(start, m_pos - start)))
            return true;
        // Qt reads some numbers the grammar does not allow ("1.", "-.5") and
        // rejects some it allows (beyond the range of a double): let the full
        // parser judge anything number-like that is not plainly fine.
        m_pos = start;
        while (m_pos < m_text.size() && isNumberCharacter(m_text[m_pos]))
            ++m_pos;
        m_unsure = m_pos > start;
        return false;
    }

    // Longer numbers, or exponents of three digits, may be out of range.
    static bool mayOverflow(std::string_view number)
    {
        const size_t exponent = number.find_first_of("eE");
        const size_t exponentDigits = exponent == std::string_view::npos
            ? 0
            : number.size() - number.find_first_not_of("+-", exponent + 1);
        return number.size() > 24 || exponentDigits > 2;
    }

    static bool isNumberCharacter(char c)
    {
        return c != '\0' && std::string_view("+-0123456789.eE").find(c) != std::string_view::npos;
    }

    bool strictNumber()
    {
        if (peek() == '-')
            ++m_pos;
        if (peek() == '0')
            ++m_pos;
        else if (!digitRun())
            return false;
        if (peek() == '.') {
            ++m_pos;
            if (!digitRun())
                return false;
        }
        if (peek() == 'e' || peek() == 'E') {
            ++m_pos;
            if (peek() == '+' || peek() == '-')
                ++m_pos;
            if (!digitRun())
                return false;
        }
        return true;
    }

    std::string_view m_text;
    size_t m_pos = 0;
    bool m_unsure = false;
    bool m_sawTime = false;
    std::optional<std::string_view> m_time;
};

} // namespace

RecordScan scanRecord(std::string_view line)
{
    return Scanner(line).scan();
}
