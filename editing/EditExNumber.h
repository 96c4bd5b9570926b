#pragma once

// Reading and printing the numbers of TEditEx. Locale-independent on purpose: the field always
// uses "." as decimal point and "," as thousands separator, whatever the user's locale says.

#include <QString>
#include <QStringView>
#include <optional>

namespace EditExNumber {

// A decimal number with optional blanks (only U+0020) around it, an optional sign, digits with
// at most one ".", and an optional exponent. Anything else, or an overflow, gives nothing.
std::optional<long double> ReadNumber(QStringView text);

// The field's lenient reading: trims characters up to code 32, optionally drops every ",",
// and gives 0 for empty or unreadable text.
long double ParseNumber(const QString &text, bool stripCommas);

// Fixed notation: rounded to 18 significant digits first, then half away from zero at
// `decimals` places; "," between groups of three integer digits when `thousands`; a value
// that rounds to zero has no sign.
QString FormatFixed(long double value, int decimals, bool thousands);

// General form with at most 15 significant digits; exponent form ("1E20", "1.5E-7") for very
// large or very small values.
QString FormatGeneral(long double value);

// True when nothing is left after trimming characters up to code 32 from both ends.
bool IsBlank(const QString &text);

// Trims characters up to code 32 from both ends; a full-width blank stays.

} // namespace EditExNumber
