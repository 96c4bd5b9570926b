#include "EditExNumber.h"

#include "TextTrim.h"
#include <charconv>
#include <cmath>

#include <cstdio>
#include <string>

namespace EditExNumber {

bool IsBlank(const QString &text)
{
    return TrimControlChars(text).isEmpty();
}

std::optional<long double> ReadNumber(QStringView text)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text.at(i) == u' ')
        ++i;
    while (end > i && text.at(end - 1) == u' ')
        --end;

    // Build an ASCII copy while checking the syntax; from_chars takes no leading "+".
    std::string ascii;
    if (i < end && (text.at(i) == u'+' || text.at(i) == u'-')) {
        if (text.at(i) == u'-')
            ascii += '-';
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < end; ++i) {
        const QChar c = text.at(i);
        if (c >= u'0' && c <= u'9') {
            digits = true;
            ascii += char(c.unicode());
        } else if (c == u'.' && !point) {
            point = true;
            ascii += '.';
        } else {
            break;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < end && (text.at(i) == u'e' || text.at(i) == u'E')) {
        ascii += 'e';
        ++i;
        if (i < end && (text.at(i) == u'+' || text.at(i) == u'-')) {
            ascii += char(text.at(i).unicode());
            ++i;
        }
        bool expDigits = false;
        for (; i < end && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
            expDigits = true;
            ascii += char(text.at(i).unicode());
        }
        if (!expDigits)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;

    long double value = 0;
    const auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec != std::errc() || ptr != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

long double ParseNumber(const QString &text, bool stripCommas)
{
    QString s = TrimControlChars(text);
    if (s.isEmpty())
        return 0;
    if (stripCommas)
        s.remove(u',');
    return ReadNumber(s).value_or(0);
}

QString FormatFixed(long double value, int decimals, bool thousands)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (decimals < 0)
        decimals = 0;

    // 18 significant digits, rounded to nearest by the C library. The decimal point of the
    // C locale in force does not matter: only the digits and the exponent are read.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", value);
    const bool negative = buf[0] == '-';
    std::string mantissa;
    const char *p = buf;
    while (*p && *p != 'e') {
        if (*p >= '0' && *p <= '9')
            mantissa += *p;
        ++p;
    }
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;

    // Digits of round(|value| * 10^decimals), half away from zero.
    const int intLen = exponent + 1;
    const int kept = intLen + decimals;
    std::string scaled;
    if (kept >= 0) {
        const int take = std::min<int>(kept, int(mantissa.size()));
        scaled = mantissa.substr(0, take);
        if (kept < int(mantissa.size()) && mantissa[kept] >= '5') {
            int k = int(scaled.size()) - 1;
            while (k >= 0 && scaled[k] == '9')
                scaled[k--] = '0';
            if (k >= 0)
                ++scaled[k];
            else
                scaled.insert(scaled.begin(), '1');
        }
        if (kept > int(mantissa.size()))
            scaled.append(kept - mantissa.size(), '0');
    }
    const auto nonZero = scaled.find_first_not_of('0');
    scaled = nonZero == std::string::npos ? std::string() : scaled.substr(nonZero);
    const bool zero = scaled.empty();
    if (int(scaled.size()) < decimals + 1)
        scaled.insert(0, decimals + 1 - scaled.size(), '0');

    const std::string intPart = scaled.substr(0, scaled.size() - decimals);
    QString out;
    if (negative && !zero)
        out += u'-';
    for (size_t k = 0; k < intPart.size(); ++k) {
        if (thousands && k > 0 && (intPart.size() - k) % 3 == 0)
            out += u',';
        out += QChar(intPart[k]);
    }
    if (decimals > 0) {
        out += u'.';
        out += QString::fromLatin1(scaled.substr(scaled.size() - decimals));
    }
    return out;
}

QString FormatGeneral(long double value)
{
    QString s = QString::number(double(value), 'g', 15);
    const qsizetype e = s.indexOf(u'e');
    if (e < 0)
        return s;
    QString exp = s.mid(e + 1);
    bool minus = false;
    if (exp.startsWith(u'+') || exp.startsWith(u'-')) {
        minus = exp.startsWith(u'-');
        exp.remove(0, 1);
    }
    while (exp.size() > 1 && exp.startsWith(u'0'))
        exp.remove(0, 1);
    return s.left(e) + u'E' + (minus ? QStringLiteral("-") : QString()) + exp;
}

} // namespace EditExNumber
