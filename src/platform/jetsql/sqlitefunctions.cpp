#include "sqlitefunctions.h"

#include "jetcompare.h"
#include "jetdate.h"
#include "jetvalues.h"
#include "jeterrors.h"
#include "sqlitefunctions_jet.h"
#include "sqlitevalue.h"

#include <sqlite3.h>

#include <QtCore/QString>

#include <cmath>
#include <limits>

namespace lg::jetsql {

namespace {

using namespace sqlitevalue;

// The numeric value of a number, of a text that reads as one, or of a date
// (its day number).
bool asNumber(sqlite3_value* v, double& out, bool* isInteger = nullptr)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        out = double(sqlite3_value_int64(v));
        if (isInteger)
            *isInteger = true;
        return true;
    case SQLITE_FLOAT:
        out = sqlite3_value_double(v);
        if (isInteger)
            *isInteger = false;
        return true;
    case SQLITE_TEXT: {
        bool ok = false;
        const QString t = text(v).trimmed();
        out = t.toDouble(&ok);
        if (!ok && (t.size() == 19 || t.size() == 10)) {
            if (const auto day = canonicalToDayNumber(t)) {
                out = *day;
                ok = true;
                if (isInteger)
                    *isInteger = false;
                return true;
            }
        }
        if (isInteger)
            *isInteger = ok && !t.contains(u'.') && !t.contains(u'e', Qt::CaseInsensitive) && std::fabs(out) < 9e15;
        return ok;
    }
    default:
        return false;
    }
}

bool isNumeric(sqlite3_value* v)
{
    const int t = sqlite3_value_type(v);
    return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

void resultNumber(sqlite3_context* ctx, double d, bool integer)
{
    if (integer && std::fabs(d) < 9e15)
        sqlite3_result_int64(ctx, sqlite3_int64(d));
    else
        sqlite3_result_double(ctx, d);
}

// The day number of a stored date (canonical text) or of a number.
bool asDayNumber(sqlite3_value* v, double& out)
{
    if (isNumeric(v)) {
        out = sqlite3_value_double(v);
        return true;
    }
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return false;
    const auto d = canonicalToDayNumber(text(v));
    if (!d)
        return false;
    out = *d;
    return true;
}

bool isDateText(sqlite3_value* v)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return false;
    const int n = sqlite3_value_bytes(v);
    return (n == 19 || n == 10) && canonicalToDayNumber(text(v)).has_value();
}

// Round half to even to a whole number, as Jet's conversions to Long do.
// Sets the error itself: a type mismatch for what is not a number, an
// overflow for what no 64-bit whole number holds.
bool roundToLong(sqlite3_context* ctx, sqlite3_value* v, sqlite3_int64& out)
{
    double d = 0;
    if (!asNumber(v, d)) {
        sqlite3_result_error(ctx, kMsgTypeMismatch, -1);
        return false;
    }
    d = std::nearbyint(d);  // the default rounding mode is to nearest, ties to even
    if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) {
        sqlite3_result_error(ctx, kMsgOverflow, -1);
        return false;
    }
    out = sqlite3_int64(d);
    return true;
}

// ---- operators ------------------------------------------------------------------

void jetAdd(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* a = argv[0];
    sqlite3_value* b = argv[1];
    if (isNull(a) || isNull(b))
        return sqlite3_result_null(ctx);
    double x = 0, y = 0;
    bool xi = false, yi = false;
    if (isNumeric(a) && isNumeric(b)) {
        asNumber(a, x, &xi);
        asNumber(b, y, &yi);
        if (xi && yi)
            return sqlite3_result_int64(ctx, sqlite3_value_int64(a) + sqlite3_value_int64(b));
        return sqlite3_result_double(ctx, exactSum(x, y).value_or(x + y));
    }
    // A date plus a number of days.
    if (isNumeric(b) && isDateText(a)) {
        asDayNumber(a, x);
        return resultText(ctx, dayNumberToCanonical(x + sqlite3_value_double(b)));
    }
    if (isNumeric(a) && isDateText(b)) {
        asDayNumber(b, y);
        return resultText(ctx, dayNumberToCanonical(sqlite3_value_double(a) + y));
    }
    // A date plus a date (a day and a time of day), or plus a text that
    // reads as a number of days.
    if (isDateText(a) || isDateText(b)) {
        if (asNumber(a, x) && asNumber(b, y))
            return resultText(ctx, dayNumberToCanonical(x + y));
    }
    const bool textA = sqlite3_value_type(a) == SQLITE_TEXT;
    const bool textB = sqlite3_value_type(b) == SQLITE_TEXT;
    if (textA != textB && asNumber(a, x, &xi) && asNumber(b, y, &yi))
        return resultNumber(ctx, x + y, xi && yi);
    resultText(ctx, asText(a) + asText(b));
}

void jetSub(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* a = argv[0];
    sqlite3_value* b = argv[1];
    if (isNull(a) || isNull(b))
        return sqlite3_result_null(ctx);
    double x = 0, y = 0;
    bool xi = false, yi = false;
    if (isDateText(a)) {
        asDayNumber(a, x);
        if (isDateText(b)) {
            asDayNumber(b, y);
            return sqlite3_result_double(ctx, x - y);
        }
        if (!asNumber(b, y))
            return sqlite3_result_error(ctx, kMsgTypeMismatch, -1);
        return resultText(ctx, dayNumberToCanonical(x - y));
    }
    if (!asNumber(a, x, &xi) || !asNumber(b, y, &yi))
        return sqlite3_result_error(ctx, kMsgTypeMismatch, -1);
    if (xi && yi)
        return sqlite3_result_int64(ctx, sqlite3_int64(x) - sqlite3_int64(y));
    sqlite3_result_double(ctx, exactDifference(x, y).value_or(x - y));
}

// &: a Null side counts as empty text; Null & Null is Null.
void jetConcat(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) && isNull(argv[1]))
        return sqlite3_result_null(ctx);
    resultText(ctx, asText(argv[0]) + asText(argv[1]));
}

void integerOperator(sqlite3_context* ctx, sqlite3_value** argv, bool modulo)
{
    if (isNull(argv[0]) || isNull(argv[1]))
        return sqlite3_result_null(ctx);
    sqlite3_int64 a = 0, b = 0;
    if (!roundToLong(ctx, argv[0], a) || !roundToLong(ctx, argv[1], b))
        return;
    if (b == 0)
        return sqlite3_result_error(ctx, kMsgDivisionByZero, -1);
    if (b == -1 && a == std::numeric_limits<sqlite3_int64>::min())
        return sqlite3_result_error(ctx, kMsgOverflow, -1);
    sqlite3_result_int64(ctx, modulo ? a % b : a / b);
}

void jetIntDiv(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    integerOperator(ctx, argv, false);
}

void jetMod(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    integerOperator(ctx, argv, true);
}

void jetPow(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) || isNull(argv[1]))
        return sqlite3_result_null(ctx);
    double a = 0, b = 0;
    if (!asNumber(argv[0], a) || !asNumber(argv[1], b))
        return sqlite3_result_error(ctx, kMsgTypeMismatch, -1);
    const double r = std::pow(a, b);
    if (!std::isfinite(r))
        return sqlite3_result_error(ctx, kMsgInvalidCall, -1);
    sqlite3_result_double(ctx, r);
}

void deletePattern(void* p)
{
    delete static_cast<LikePattern*>(p);
}

void jetLike(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) || isNull(argv[1]))
        return sqlite3_result_null(ctx);
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
    if (!pattern) {
        auto compiled = LikePattern::compile(asText(argv[1]));
        if (!compiled)
            return sqlite3_result_error(ctx, "Invalid pattern string.", -1);
        pattern = new LikePattern(std::move(*compiled));
        sqlite3_set_auxdata(ctx, 1, pattern, deletePattern);
        // SQLite may have deleted it already when it cannot keep it.
        pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
        if (!pattern) {
            auto again = LikePattern::compile(asText(argv[1]));
            return sqlite3_result_int(ctx, again->matches(asText(argv[0])) ? 1 : 0);
        }
    }
    sqlite3_result_int(ctx, pattern->matches(asText(argv[0])) ? 1 : 0);
}

// ---- text functions -------------------------------------------------------------

void jetUcase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    resultText(ctx, asText(argv[0]).toUpper());
}

void jetLcase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    resultText(ctx, asText(argv[0]).toLower());
}

bool lengthArgument(sqlite3_context* ctx, sqlite3_value* v, qsizetype& out)
{
    sqlite3_int64 n = 0;
    if (!roundToLong(ctx, v, n))
        return false;
    if (n < 0) {
        sqlite3_result_error(ctx, kMsgInvalidCall, -1);
        return false;
    }
    out = qsizetype(std::min<sqlite3_int64>(n, std::numeric_limits<int>::max()));
    return true;
}

void jetLeft(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    qsizetype n = 0;
    if (!lengthArgument(ctx, argv[1], n))
        return;
    resultText(ctx, asText(argv[0]).left(n));
}

void jetRight(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    qsizetype n = 0;
    if (!lengthArgument(ctx, argv[1], n))
        return;
    resultText(ctx, asText(argv[0]).right(n));
}

void jetMid(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    qsizetype start = 0;
    if (!lengthArgument(ctx, argv[1], start))
        return;
    if (start < 1)
        return sqlite3_result_error(ctx, kMsgInvalidCall, -1);
    qsizetype length = -1;
    if (argc == 3 && !lengthArgument(ctx, argv[2], length))
        return;
    const QString s = asText(argv[0]);
    resultText(ctx, start > s.size() ? QString() : s.mid(start - 1, length));
}

void jetLen(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, asText(argv[0]).size());
}

void trimText(sqlite3_context* ctx, sqlite3_value* v, bool left, bool right)
{
    if (isNull(v))
        return sqlite3_result_null(ctx);
    const QString s = asText(v);
    qsizetype from = 0, to = s.size();
    if (left)
        while (from < to && s[from] == u' ')
            ++from;
    if (right)
        while (to > from && s[to - 1] == u' ')
            --to;
    resultText(ctx, s.mid(from, to - from));
}

void jetTrim(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    trimText(ctx, argv[0], true, true);
}
void jetLtrim(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    trimText(ctx, argv[0], true, false);
}
void jetRtrim(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    trimText(ctx, argv[0], false, true);
}

void jetCstr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    resultText(ctx, asText(argv[0]));
}

void jetCint(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3_int64 n = 0;
    if (!roundToLong(ctx, argv[0], n))
        return;
    sqlite3_result_int64(ctx, n);
}

void jetCdbl(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    double d = 0;
    if (!asNumber(argv[0], d))
        return sqlite3_result_error(ctx, kMsgTypeMismatch, -1);
    sqlite3_result_double(ctx, d);
}

// Val: the number at the start of the text; blanks anywhere are skipped.
// Val reads the digits 0-9 only, as Jet does.
inline bool isAsciiDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

void jetVal(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    if (isNumeric(argv[0]))
        return sqlite3_result_value(ctx, argv[0]);
    QString s = asText(argv[0]);
    s.remove(u' ');
    s.remove(u'\t');
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    const qsizetype digitsFrom = i;
    while (i < s.size() && isAsciiDigit(s[i]))
        ++i;
    bool fraction = false;
    if (i < s.size() && s[i] == u'.') {
        fraction = true;
        ++i;
        while (i < s.size() && isAsciiDigit(s[i]))
            ++i;
    }
    if (i == digitsFrom || (fraction && i == digitsFrom + 1 && !isAsciiDigit(s[digitsFrom])))
        return sqlite3_result_int(ctx, 0);
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'-' || s[j] == u'+'))
            ++j;
        if (j < s.size() && isAsciiDigit(s[j])) {
            while (j < s.size() && isAsciiDigit(s[j]))
                ++j;
            i = j;
            fraction = true;
        }
    }
    const double d = s.left(i).toDouble();
    resultNumber(ctx, d, !fraction);
}

// InStr([start,] text, sought): 1-based position, 0 when absent; without
// regard to case.
void jetInstr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    qsizetype start = 1;
    int first = 0;
    if (argc == 3) {
        if (isNull(argv[0]))
            return sqlite3_result_null(ctx);
        if (!lengthArgument(ctx, argv[0], start))
            return;
        if (start < 1)
            return sqlite3_result_error(ctx, kMsgInvalidCall, -1);
        first = 1;
    }
    if (isNull(argv[first]) || isNull(argv[first + 1]))
        return sqlite3_result_null(ctx);
    const QString s = asText(argv[first]);
    const QString sought = asText(argv[first + 1]);
    if (start > s.size() + 1)
        return sqlite3_result_int(ctx, 0);
    if (sought.isEmpty())
        return sqlite3_result_int64(ctx, start);
    sqlite3_result_int64(ctx, s.indexOf(sought, start - 1, Qt::CaseInsensitive) + 1);
}

// ---- dates and numbers ------------------------------------------------------------

void datePart(sqlite3_context* ctx, sqlite3_value* v, int part)
{
    if (isNull(v))
        return sqlite3_result_null(ctx);
    double days = 0;
    if (!asDayNumber(v, days))
        return sqlite3_result_error(ctx, kMsgTypeMismatch, -1);
    const auto dt = fromCanonicalDate(dayNumberToCanonical(days));
    const QDate d = dt->date();
    sqlite3_result_int(ctx, part == 0 ? d.year() : part == 1 ? d.month() : d.day());
}

void jetYear(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    datePart(ctx, argv[0], 0);
}
void jetMonth(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    datePart(ctx, argv[0], 1);
}
void jetDay(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    datePart(ctx, argv[0], 2);
}

void roundDown(sqlite3_context* ctx, sqlite3_value* v, bool toZero)
{
    if (isNull(v))
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(v) == SQLITE_INTEGER)
        return sqlite3_result_value(ctx, v);
    double d = 0;
    if (!asNumber(v, d))
        return sqlite3_result_error(ctx, kMsgTypeMismatch, -1);
    // Int and Fix keep a date a date: Int(d) is that day at midnight.
    if (isDateText(v))
        return resultText(ctx, dayNumberToCanonical(toZero ? std::trunc(d) : std::floor(d)));
    resultNumber(ctx, toZero ? std::trunc(d) : std::floor(d), true);
}

void jetInt(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    roundDown(ctx, argv[0], false);
}
void jetFix(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    roundDown(ctx, argv[0], true);
}

int jetCollation(void*, int aLength, const void* a, int bLength, const void* b)
{
    return jetCompareUtf8(static_cast<const char*>(a), aLength, static_cast<const char*>(b), bLength);
}

struct Function {
    const char* name;
    int arguments;  // -1: any
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
};

const Function kFunctions[] = {
    {"jet_add", 2, jetAdd},     {"jet_sub", 2, jetSub},     {"jet_concat", 2, jetConcat}, {"jet_idiv", 2, jetIntDiv},
    {"jet_mod", 2, jetMod},     {"jet_pow", 2, jetPow},     {"jet_like", 2, jetLike},     {"jet_ucase", 1, jetUcase},
    {"jet_lcase", 1, jetLcase}, {"jet_left", 2, jetLeft},   {"jet_right", 2, jetRight},   {"jet_mid", 2, jetMid},
    {"jet_mid", 3, jetMid},     {"jet_len", 1, jetLen},     {"jet_trim", 1, jetTrim},     {"jet_ltrim", 1, jetLtrim},
    {"jet_rtrim", 1, jetRtrim}, {"jet_cstr", 1, jetCstr},   {"jet_cint", 1, jetCint},     {"jet_cdbl", 1, jetCdbl},
    {"jet_val", 1, jetVal},     {"jet_instr", 2, jetInstr}, {"jet_instr", 3, jetInstr},   {"jet_year", 1, jetYear},
    {"jet_month", 1, jetMonth}, {"jet_day", 1, jetDay},     {"jet_int", 1, jetInt},       {"jet_fix", 1, jetFix},
};

}  // namespace

void registerSqliteFunctions(sqlite3* db)
{
    for (const Function& f : kFunctions)
        sqlite3_create_function_v2(db, f.name, f.arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, f.fn, nullptr,
                                   nullptr, nullptr);
    registerValueFunctions(db);
    sqlite3_create_collation_v2(db, "JET", SQLITE_UTF8, nullptr, jetCollation, nullptr);
    registerJetFunctions(db);
}

}  // namespace lg::jetsql
