#pragma once

// The fourth personality letter: counts of days, calls and dates turned into a mock work report.

#include <QLocale>
#include <QString>

namespace Statistics {

// What the nine number fields show, and the values read from the five fields the sums need.
struct TStatisticsInput
{
    QString daysText;
    QString telCountText;
    QString callSheCountText;
    QString callMaxText;
    QString callMinText;
    QString yhCountText;
    QString yhzdText;
    QString yhMaxText;
    QString yhMinText;
    long double days = 0; // D
    long double telCount = 0; // T
    long double callSheCount = 0; // C
    long double yhCount = 0; // Y
    long double yhzd = 0; // Z
};

// The first refusal that applies, in the order they are checked.
enum TStatisticsRefusal { srNone, srZeroDays, srZeroCalls, srZeroDates };

TStatisticsRefusal CheckStatistics(const TStatisticsInput &input);

// The message shown for a refusal; empty for srNone.
QString RefusalMessage(TStatisticsRefusal refusal);

struct TStatisticsFigures
{
    long double daysPerCall = 0;
    long double myCallShare = 0;
    long double theirCalls = 0;
    long double theirCallShare = 0;
    long double daysPerDate = 0;
    long double myDateShare = 0;
    long double theirDates = 0;
    long double theirDateShare = 0;
};

// Shares are the quotient times 100; nothing is clamped. T and Y must not be zero.
TStatisticsFigures ComputeStatistics(const TStatisticsInput &input);

// Two decimals: rounded to 18 significant digits, then half away from zero; no sign on a value
// that rounds to zero; no thousands separators.
QString FormatAmount(long double value, QChar decimalPoint = u'.');

// The decimal point letters use: the locale's, reduced to one character.
QChar LetterDecimalPoint(const QLocale &locale = QLocale());

QString StatisticsTemplate();

// The filled report. Throws EPlumaretError when CheckStatistics refuses the input.
QString MakeStatisticsLetter(const TStatisticsInput &input, QChar decimalPoint = LetterDecimalPoint());

} // namespace Statistics
