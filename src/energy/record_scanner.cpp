#include "energy/record_scanner.h"

namespace {

// Deeper documents are legal JSON but never written by this program.
constexpr int kMaxScannedDepth = 32;

class Scanner
{
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    RecordScan scan()
    {
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
            if (c < 0x20)
                return false;
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
                if (e != '"' && e != '\\' && e != '/' && e != 'b' && e != 'f' && e != 'n' && e != 'r' && e != 't')
                    return false;
            }
            ++m_pos;
        }
        return false;
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
