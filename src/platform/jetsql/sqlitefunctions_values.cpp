// The SQL functions that give values their Jet meaning as numbers: dates
// are day numbers to arithmetic, to comparisons with numbers and to the
// aggregates; decimals with at most four places (every Currency value) add
// and multiply exactly.

#include "sqlitefunctions.h"

#include "jetdate.h"
#include "jeterrors.h"
#include "jetvalues.h"
#include "sqlitevalue.h"

#include <sqlite3.h>

#include <QtCore/QString>

#include <cmath>
#include <limits>
#include <optional>

namespace lg::jetsql {

namespace {

using namespace sqlitevalue;

// A stored date: the canonical text, with or without its time.
std::optional<double> dateText(sqlite3_value* v)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return std::nullopt;
    const int n = sqlite3_value_bytes(v);
    if (n != 19 && n != 10)
        return std::nullopt;
    return canonicalToDayNumber(text(v));
}

enum class Kind { Null, Integer, Real, Other };

// A value as a number: integers and doubles as they are, a date as its day
// number, a text that reads as a number as that number.
Kind number(sqlite3_value* v, sqlite3_int64& i, double& d)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return Kind::Null;
    case SQLITE_INTEGER:
        i = sqlite3_value_int64(v);
        d = double(i);
        return Kind::Integer;
    case SQLITE_FLOAT:
        d = sqlite3_value_double(v);
        return Kind::Real;
    case SQLITE_TEXT: {
        if (const auto day = dateText(v)) {
            d = *day;
            return Kind::Real;
        }
        bool ok = false;
        const QString t = text(v).trimmed();
        d = t.toDouble(&ok);
        if (!ok)
            return Kind::Other;
        if (d == std::trunc(d) && std::fabs(d) < 9e15 && !t.contains(u'.') &&
            !t.contains(u'e', Qt::CaseInsensitive)) {
            i = sqlite3_int64(d);
            return Kind::Integer;
        }
        return Kind::Real;
    }
    default:
        return Kind::Other;
    }
}

// jet_num(x): a date as its day number; anything else unchanged.
void jetNum(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (const auto day = dateText(argv[0]))
        return sqlite3_result_double(ctx, *day);
    sqlite3_result_value(ctx, argv[0]);
}

// jet_datetext(x): a number as the canonical text of that day number, for
// comparing a number with stored dates; anything else unchanged. Numbers
// beyond the dates' range become the first or last date.
void jetDateText(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int type = sqlite3_value_type(argv[0]);
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
        return sqlite3_result_value(ctx, argv[0]);
    const QByteArray t = dayNumberToDateText(sqlite3_value_double(argv[0])).toUtf8();
    sqlite3_result_text(ctx, t.constData(), int(t.size()), SQLITE_TRANSIENT);
}

// jet_mul(a, b): *, with dates as day numbers and decimals exact.
void jetMul(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_int64 ia = 0, ib = 0;
    double a = 0, b = 0;
    const Kind ka = number(argv[0], ia, a);
    const Kind kb = number(argv[1], ib, b);
    if (ka == Kind::Null || kb == Kind::Null)
        return sqlite3_result_null(ctx);
    if (ka == Kind::Other || kb == Kind::Other)
        return sqlite3_result_error(ctx, kMsgTypeMismatch, -1);
    if (ka == Kind::Integer && kb == Kind::Integer) {
        sqlite3_int64 p = 0;
        if (!__builtin_mul_overflow(ia, ib, &p))
            return sqlite3_result_int64(ctx, p);
        return sqlite3_result_double(ctx, a * b);
    }
    if (const auto exact = exactProduct(a, b))
        return sqlite3_result_double(ctx, *exact);
    const double product = a * b;
    if (!std::isfinite(product))
        return sqlite3_result_error(ctx, kMsgOverflow, -1);
    sqlite3_result_double(ctx, product);
}

// Sum and Avg: whole numbers add as integers, decimals with at most four
// places as scaled integers, anything else as doubles (compensated). SQLite
// hands the state over zero-filled and only 8-byte aligned.
struct Total {
    qint64 count;
    sqlite3_int64 integerSum;
    qint64 scaledSum;
    double sum;
    double compensation;
    bool notIntegers;
    bool notScaled;
    bool failed;
};

void totalStep(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* t = static_cast<Total*>(sqlite3_aggregate_context(ctx, sizeof(Total)));
    if (!t || t->failed)
        return;
    sqlite3_int64 i = 0;
    double d = 0;
    const Kind k = number(argv[0], i, d);
    if (k == Kind::Null)
        return;
    if (k == Kind::Other) {
        t->failed = true;
        return sqlite3_result_error(ctx, kMsgTypeMismatch, -1);
    }
    ++t->count;
    if (k == Kind::Integer) {
        if (!t->notIntegers && __builtin_add_overflow(t->integerSum, i, &t->integerSum))
            t->notIntegers = true;
        qint64 scaled = 0;
        if (!t->notScaled && (__builtin_mul_overflow(i, qint64(10000), &scaled) ||
                              __builtin_add_overflow(t->scaledSum, scaled, &t->scaledSum)))
            t->notScaled = true;
    } else {
        t->notIntegers = true;
        if (!t->notScaled) {
            const auto scaled = scaledDecimal(d);
            if (!scaled || __builtin_add_overflow(t->scaledSum, *scaled, &t->scaledSum))
                t->notScaled = true;
        }
    }
    // Neumaier's compensated sum, for when the exact ones do not apply.
    const double next = t->sum + d;
    t->compensation += std::fabs(t->sum) >= std::fabs(d) ? (t->sum - next) + d : (d - next) + t->sum;
    t->sum = next;
}

void finalTotal(sqlite3_context* ctx, bool average)
{
    auto* t = static_cast<Total*>(sqlite3_aggregate_context(ctx, 0));
    if (!t || t->count == 0 || t->failed)
        return sqlite3_result_null(ctx);
    if (!average) {
        if (!t->notIntegers)
            return sqlite3_result_int64(ctx, t->integerSum);
        if (!t->notScaled)
            return sqlite3_result_double(ctx, fromScaled(t->scaledSum));
        return sqlite3_result_double(ctx, t->sum + t->compensation);
    }
    if (!t->notScaled)
        return sqlite3_result_double(
            ctx, double(static_cast<long double>(t->scaledSum) / (10000.0L * static_cast<long double>(t->count))));
    sqlite3_result_double(ctx, (t->sum + t->compensation) / double(t->count));
}

void sumFinal(sqlite3_context* ctx)
{
    finalTotal(ctx, false);
}

void avgFinal(sqlite3_context* ctx)
{
    finalTotal(ctx, true);
}

}  // namespace

void registerValueFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "jet_num", 1, flags, nullptr, jetNum, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_datetext", 1, flags, nullptr, jetDateText, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_mul", 2, flags, nullptr, jetMul, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_sum", 1, flags, nullptr, nullptr, totalStep, sumFinal, nullptr);
    sqlite3_create_function_v2(db, "jet_avg", 1, flags, nullptr, nullptr, totalStep, avgFinal, nullptr);
}

}  // namespace lg::jetsql
