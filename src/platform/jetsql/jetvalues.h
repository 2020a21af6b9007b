#pragma once

// Jet's numbers that SQLite's doubles do not keep by themselves.
//
// Currency is a whole number of ten-thousandths. Values are stored as the
// double nearest to that decimal (so reads and plain comparisons stay those
// of doubles), and arithmetic on values with at most four decimals is done
// on the scaled integers, so that 0.1 + 0.2 is the double of 0.3 and a sum
// of invoice lines adds up to the cent. A double with more decimals (only a
// Double column holds one) takes plain double arithmetic.

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <optional>

namespace lg::jetsql {

// Currency's range: a signed 64-bit count of ten-thousandths.
inline constexpr double kCurrencyMax = 922337203685477.5807;

// v * 10000 when v is the double nearest to a decimal with at most four
// decimals (and within Currency's range); nullopt otherwise.
std::optional<qint64> scaledDecimal(double v);

// The double nearest to a decimal count of ten-thousandths.
double fromScaled(qint64 scaled);

// a + b, a - b and a * b computed on the decimals when both have at most four
// decimals: the double nearest to the exact result. Nullopt when either has
// more decimals or the result leaves Currency's range.
std::optional<double> exactSum(double a, double b);
std::optional<double> exactDifference(double a, double b);
std::optional<double> exactProduct(double a, double b);

// v rounded to four decimals, half to even (as a value is stored into a
// Currency field). Nullopt outside Currency's range.
std::optional<double> toCurrency(double v);

// The canonical date text of a day number, for comparing a number with
// stored dates: numbers beyond the dates' range give the first or last date.
QString dayNumberToDateText(double days);

}  // namespace lg::jetsql
