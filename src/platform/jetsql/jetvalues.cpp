#include "jetvalues.h"

#include "jetdate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lg::jetsql {

namespace {

// Day numbers a canonical date text can stand for.
constexpr double kFirstDay = -657434.0;        // 100-01-01
constexpr double kLastDay = 2958465.99998843;  // 9999-12-31 23:59:59

constexpr qint64 kScale = 10000;
constexpr qint64 kMaxScaled = std::numeric_limits<qint64>::max();
// Below 2^53 a count of ten-thousandths converts to double exactly, and one
// division gives the nearest double.
constexpr qint64 kExactDouble = qint64(1) << 53;

std::optional<double> fromWide(__int128 scaled)
{
    if (scaled > kMaxScaled || scaled < -kMaxScaled)
        return std::nullopt;
    return fromScaled(qint64(scaled));
}

}  // namespace

std::optional<qint64> scaledDecimal(double v)
{
    if (!std::isfinite(v) || std::fabs(v) > kCurrencyMax)
        return std::nullopt;
    const double scaled = std::nearbyint(v * double(kScale));
    if (std::fabs(scaled) >= double(kExactDouble))
        return std::nullopt;
    const qint64 k = qint64(scaled);
    if (double(k) / double(kScale) != v)
        return std::nullopt;
    return k;
}

double fromScaled(qint64 scaled)
{
    if (scaled < kExactDouble && scaled > -kExactDouble)
        return double(scaled) / double(kScale);
    return double(static_cast<long double>(scaled) / static_cast<long double>(kScale));
}

std::optional<double> exactSum(double a, double b)
{
    const auto x = scaledDecimal(a);
    const auto y = scaledDecimal(b);
    if (!x || !y)
        return std::nullopt;
    return fromWide(__int128(*x) + *y);
}

std::optional<double> exactDifference(double a, double b)
{
    const auto x = scaledDecimal(a);
    const auto y = scaledDecimal(b);
    if (!x || !y)
        return std::nullopt;
    return fromWide(__int128(*x) - *y);
}

std::optional<double> exactProduct(double a, double b)
{
    const auto x = scaledDecimal(a);
    const auto y = scaledDecimal(b);
    if (!x || !y)
        return std::nullopt;
    // Eight decimals; most products (a price times a quantity) have four.
    const __int128 p = __int128(*x) * *y;
    if (p % kScale == 0)
        return fromWide(p / kScale);
    if (p > __int128(kMaxScaled) * kScale || p < -__int128(kMaxScaled) * kScale)
        return std::nullopt;
    return double(static_cast<long double>(p) / (static_cast<long double>(kScale) * kScale));
}

std::optional<double> toCurrency(double v)
{
    if (!std::isfinite(v) || std::fabs(v) > kCurrencyMax)
        return std::nullopt;
    if (scaledDecimal(v))
        return v;
    // Scaled in double arithmetic, then half to even, as Jet converts: the
    // 0.12345 that a double holds a hair above the tie still rounds to 0.1234.
    return fromScaled(qint64(std::nearbyint(v * double(kScale))));
}

QString dayNumberToDateText(double days)
{
    return dayNumberToCanonical(std::isnan(days) ? 0.0 : std::clamp(days, kFirstDay, kLastDay));
}

}  // namespace lg::jetsql
