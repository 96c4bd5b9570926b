#include "RtfTokenReader.h"

#include <algorithm>
#include <cstdint>

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfToken RtfTokenReader::next()
{
    while (m_pos < m_data.size()) {
        const char c = m_data[m_pos++];
        if (c == '{')
            return { RtfToken::GroupStart };
        if (c == '}')
            return { RtfToken::GroupEnd };
        if (c == '\\')
            return control();
        if (c != '\r' && c != '\n')
            return { RtfToken::Text, c };
    }
    return {};
}

// After a backslash: a control word, \'hh, or a control symbol.
RtfToken RtfTokenReader::control()
{
    if (m_pos >= m_data.size())
        return {};
    const char d = m_data[m_pos];
    if (isLetter(d))
        return word();
    ++m_pos;
    if (d == '\'')
        return hexByte();
    return { RtfToken::Symbol, d };
}

// At most two hex digits; fewer end where a non-digit stands.
RtfToken RtfTokenReader::hexByte()
{
    int value = 0;
    for (int digits = 0; digits < 2 && m_pos < m_data.size(); ++digits) {
        const int v = hexValue(m_data[m_pos]);
        if (v < 0)
            break;
        value = value * 16 + v;
        ++m_pos;
    }
    return { RtfToken::HexByte, char(value) };
}

// Letters, an optional '-' and digits, and the one space that delimits the word.
RtfToken RtfTokenReader::word()
{
    const qsizetype n = m_data.size();
    const qsizetype start = m_pos;
    while (m_pos < n && isLetter(m_data[m_pos]))
        ++m_pos;
    RtfToken t { RtfToken::Word };
    t.word = m_data.sliced(start, m_pos - start);
    bool negative = false;
    qint64 value = 0;
    if (m_pos + 1 < n && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    while (m_pos < n && isDigit(m_data[m_pos])) {
        t.hasParam = true;
        if (value <= qint64(1) << 32)
            value = value * 10 + (m_data[m_pos] - '0');
        ++m_pos;
    }
    if (m_pos < n && m_data[m_pos] == ' ')
        ++m_pos;
    t.param = int(std::clamp<qint64>(negative ? -value : value, INT32_MIN, INT32_MAX));
    if (t.word == "bin") {
        // Raw bytes: never parsed, wherever they stand.
        m_pos += std::clamp<qint64>(t.param, 0, n - m_pos);
        return { RtfToken::Binary };
    }
    return t;
}
