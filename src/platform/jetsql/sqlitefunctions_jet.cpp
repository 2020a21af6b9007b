// The Jet functions for dates, formats, text and conversions, the checked
// arithmetic that raises Jet's errors, and jet_store(), which gives a value
// the form its column's declared type keeps. Registered on every connection
// with the others (sqlitefunctions.cpp).

#include "sqlitefunctions_jet.h"

#include "jetcompare.h"
#include "jetdate.h"
#include "jeterrors.h"
#include "jettypes.h"
#include "jetvalues.h"
#include "sqlitevalue.h"

#include <sqlite3.h>

#include <QtCore/QDateTime>
#include <QtCore/QRegularExpression>
#include <QtCore/QStringDecoder>
#include <QtCore/QStringEncoder>

#include <cmath>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace lg::jetsql {

namespace {

// ---- values ------------------------------------------------------------------------

using namespace sqlitevalue;

void fail(sqlite3_context* ctx, const char* message)
{
    sqlite3_result_error(ctx, message, -1);
}

const QDate kDayZero(1899, 12, 30);

// A date and time as Jet's day number: whole days since 1899-12-30; the
// time is a fraction added away from zero, so before day zero the number
// line runs backwards inside a day.
double toDayNumber(const QDateTime& dt)
{
    const qint64 days = kDayZero.daysTo(dt.date());
    const double time = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? double(days) + time : double(days) - time;
}

std::optional<QDateTime> fromDayNumber(double x)
{
    if (!std::isfinite(x) || x < -657434.0 || x >= 2958466.0)
        return std::nullopt;
    double whole = std::trunc(x);
    qint64 secs = std::llround(std::fabs(x - whole) * 86400.0);
    if (secs >= 86400) {
        secs -= 86400;
        whole += x < 0 ? -1 : 1;
    }
    return QDateTime(kDayZero.addDays(qint64(whole)), QTime(0, 0).addSecs(int(secs)));
}

// The date of a value: a stored date (canonical text), a day number, or a
// text Jet reads as a date (month/day/year, year-month-day, a time).
std::optional<QDateTime> asDate(sqlite3_value* v)
{
    if (isNumeric(v))
        return fromDayNumber(sqlite3_value_double(v));
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return std::nullopt;
    const QString t = text(v).trimmed();
    if (auto d = fromCanonicalDate(t))
        return d;
    if (auto literal = parseDateLiteral(t))
        return fromCanonicalDate(*literal);
    return std::nullopt;
}

// The numeric value of a number, a numeric text or a date (its day number).
bool asNumber(sqlite3_value* v, double& out)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        out = sqlite3_value_double(v);
        return true;
    case SQLITE_TEXT: {
        bool ok = false;
        const QString t = text(v).trimmed();
        out = t.toDouble(&ok);
        if (ok)
            return std::isfinite(out);
        if (const auto d = fromCanonicalDate(t)) {
            out = toDayNumber(*d);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

bool isDateValue(sqlite3_value* v)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return false;
    const int n = sqlite3_value_bytes(v);
    return (n == 19 || n == 10) && fromCanonicalDate(text(v)).has_value();
}

void resultDate(sqlite3_context* ctx, const QDateTime& dt)
{
    if (dt.date().year() < 100 || dt.date().year() > 9999)
        return fail(ctx, kMsgInvalidCall);
    resultText(ctx, toCanonicalDate(dt));
}

// A whole number argument, rounded half to even.
bool wholeArgument(sqlite3_value* v, qint64& out)
{
    double d = 0;
    if (!asNumber(v, d) || std::fabs(d) > 9e15)
        return false;
    out = qint64(std::nearbyint(d));
    return true;
}

// ---- checked arithmetic --------------------------------------------------------------

// /: always fractional; a zero divisor is Jet's "Division by zero" (0/0 too).
void jetDiv(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) || isNull(argv[1]))
        return sqlite3_result_null(ctx);
    double a = 0, b = 0;
    if (!asNumber(argv[0], a) || !asNumber(argv[1], b))
        return fail(ctx, kMsgTypeMismatch);
    if (b == 0)
        return fail(ctx, kMsgDivisionByZero);
    const double r = a / b;
    if (!std::isfinite(r))
        return fail(ctx, kMsgOverflow);
    sqlite3_result_double(ctx, r);
}

// CInt, CLng, CByte: round half to even, then Overflow outside the type's range.
void wholeConversion(sqlite3_context* ctx, sqlite3_value* v, double low, double high)
{
    if (isNull(v))
        return sqlite3_result_null(ctx);
    double d = 0;
    if (!asNumber(v, d))
        return fail(ctx, kMsgTypeMismatch);
    const double r = std::nearbyint(d);
    if (r < low || r > high)
        return fail(ctx, kMsgOverflow);
    sqlite3_result_int64(ctx, sqlite3_int64(r));
}

void jetCint16(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    wholeConversion(ctx, argv[0], -32768, 32767);
}
void jetClng(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    wholeConversion(ctx, argv[0], -2147483648.0, 2147483647.0);
}
void jetCbyte(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    wholeConversion(ctx, argv[0], 0, 255);
}

// CCur: four decimals (half to even), within Currency's range.
void jetCcur(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    double d = 0;
    if (!asNumber(argv[0], d))
        return fail(ctx, kMsgTypeMismatch);
    const double scaled = std::nearbyint(d * 10000.0);
    if (std::fabs(scaled) > 9.2233720368547758e18)
        return fail(ctx, kMsgOverflow);
    sqlite3_result_double(ctx, scaled / 10000.0);
}

// CSng: single precision, shown with its 7 significant digits.
void jetCsng(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    double d = 0;
    if (!asNumber(argv[0], d))
        return fail(ctx, kMsgTypeMismatch);
    if (std::fabs(d) > double(std::numeric_limits<float>::max()))
        return fail(ctx, kMsgOverflow);
    sqlite3_result_double(ctx, QString::number(double(float(d)), 'g', 7).toDouble());
}

void jetCbool(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    double d = 0;
    if (asNumber(argv[0], d))
        return sqlite3_result_int(ctx, d != 0 ? -1 : 0);
    const QString t = text(argv[0]).trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0)
        return sqlite3_result_int(ctx, -1);
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0)
        return sqlite3_result_int(ctx, 0);
    fail(ctx, kMsgTypeMismatch);
}

void jetCdate(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const auto d = asDate(argv[0]);
    if (!d) {
        double n = 0;
        return fail(ctx, asNumber(argv[0], n) ? kMsgOverflow : kMsgTypeMismatch);
    }
    resultDate(ctx, *d);
}

// Round(x[, places]): half to even on the value as it is held.
void jetRound(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (isNull(argv[0]) || (argc == 2 && isNull(argv[1])))
        return sqlite3_result_null(ctx);
    qint64 places = 0;
    if (argc == 2 && !wholeArgument(argv[1], places))
        return fail(ctx, kMsgTypeMismatch);
    if (places < 0)
        return fail(ctx, kMsgInvalidCall);
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER)
        return sqlite3_result_value(ctx, argv[0]);
    double d = 0;
    if (!asNumber(argv[0], d))
        return fail(ctx, kMsgTypeMismatch);
    if (places > 15)
        return sqlite3_result_double(ctx, d);
    const double scale = std::pow(10.0, double(places));
    const double r = std::nearbyint(d * scale) / scale;
    if (places == 0 && std::fabs(r) < 9e15)
        return sqlite3_result_int64(ctx, sqlite3_int64(r));
    sqlite3_result_double(ctx, r);
}

void jetFailMany(sqlite3_context* ctx, int, sqlite3_value**)
{
    fail(ctx, kMsgAtMostOneRecord);
}

// The position Choose() picks: its first argument rounded, Null when Null.
void jetChooseIndex(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    qint64 i = 0;
    if (!wholeArgument(argv[0], i))
        return fail(ctx, kMsgTypeMismatch);
    sqlite3_result_int64(ctx, i);
}

// ---- dates ------------------------------------------------------------------------

// Sunday = 1 ... Saturday = 7, as Weekday() counts with its default.
int sundayWeekday(const QDate& d)
{
    return d.dayOfWeek() % 7 + 1;
}

// The weekday counted from `firstDay` (1 = Sunday ... 7 = Saturday).
int weekday(const QDate& d, int firstDay)
{
    return (sundayWeekday(d) - firstDay + 7) % 7 + 1;
}

// The first day of the week of d, weeks starting on `firstDay`.
QDate weekStart(const QDate& d, int firstDay)
{
    return d.addDays(-(weekday(d, firstDay) - 1));
}

// The first day of week 1 of `year`: the week of January 1 (1), the first
// week with four days of the year (2), or the first full week (3).
QDate firstWeekStart(int year, int firstDay, int firstWeek)
{
    const QDate jan1(year, 1, 1);
    switch (firstWeek) {
    case 2:
        return weekStart(QDate(year, 1, 4), firstDay);
    case 3: {
        const QDate s = weekStart(jan1, firstDay);
        return s == jan1 ? s : s.addDays(7);
    }
    default:
        return weekStart(jan1, firstDay);
    }
}

int weekOfYear(const QDate& d, int firstDay, int firstWeek)
{
    QDate start = firstWeekStart(d.year(), firstDay, firstWeek);
    if (d < start)
        start = firstWeekStart(d.year() - 1, firstDay, firstWeek);
    return int(start.daysTo(weekStart(d, firstDay)) / 7) + 1;
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second, Bad };

Interval interval(sqlite3_value* v)
{
    const QString s = asText(v).trimmed().toLower();
    if (s == u"yyyy")
        return Interval::Year;
    if (s == u"q")
        return Interval::Quarter;
    if (s == u"m")
        return Interval::Month;
    if (s == u"y")
        return Interval::DayOfYear;
    if (s == u"d")
        return Interval::Day;
    if (s == u"w")
        return Interval::Weekday;
    if (s == u"ww")
        return Interval::Week;
    if (s == u"h")
        return Interval::Hour;
    if (s == u"n")
        return Interval::Minute;
    if (s == u"s")
        return Interval::Second;
    return Interval::Bad;
}

// The first day of the week argument: 1 Sunday ... 7 Saturday; 0, the
// system's, is Monday here (the Hungarian week).
bool firstDayArgument(int argc, sqlite3_value** argv, int index, int& out)
{
    out = 1;
    if (argc <= index || isNull(argv[index]))
        return true;
    qint64 n = 0;
    if (!wholeArgument(argv[index], n) || n < 0 || n > 7)
        return false;
    out = n == 0 ? 2 : int(n);
    return true;
}

bool firstWeekArgument(int argc, sqlite3_value** argv, int index, int& out)
{
    out = 1;
    if (argc <= index || isNull(argv[index]))
        return true;
    qint64 n = 0;
    if (!wholeArgument(argv[index], n) || n < 0 || n > 3)
        return false;
    out = n == 0 ? 2 : int(n);  // the system's: the first four-day week, as in Hungary
    return true;
}

void jetDateAdd(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[2]) || isNull(argv[1]))
        return sqlite3_result_null(ctx);
    const Interval what = interval(argv[0]);
    if (what == Interval::Bad)
        return fail(ctx, kMsgInvalidCall);
    qint64 n = 0;
    if (!wholeArgument(argv[1], n))
        return fail(ctx, kMsgTypeMismatch);
    const auto d = asDate(argv[2]);
    if (!d)
        return fail(ctx, kMsgTypeMismatch);
    if (std::llabs(n) > 10000000)
        return fail(ctx, kMsgInvalidCall);
    QDateTime r = *d;
    switch (what) {
    case Interval::Year:
        r.setDate(d->date().addYears(int(n)));
        break;
    case Interval::Quarter:
        r.setDate(d->date().addMonths(int(n * 3)));
        break;
    case Interval::Month:
        r.setDate(d->date().addMonths(int(n)));
        break;
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday:
        r = d->addDays(n);
        break;
    case Interval::Week:
        r = d->addDays(n * 7);
        break;
    case Interval::Hour:
        r = d->addSecs(n * 3600);
        break;
    case Interval::Minute:
        r = d->addSecs(n * 60);
        break;
    case Interval::Second:
        r = d->addSecs(n);
        break;
    case Interval::Bad:
        break;
    }
    if (!r.isValid())
        return fail(ctx, kMsgInvalidCall);
    resultDate(ctx, r);
}

// DateDiff counts the boundaries of the interval crossed from d1 to d2.
void jetDateDiff(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (isNull(argv[1]) || isNull(argv[2]))
        return sqlite3_result_null(ctx);
    const Interval what = interval(argv[0]);
    int firstDay = 1, firstWeek = 1;
    if (what == Interval::Bad || !firstDayArgument(argc, argv, 3, firstDay) ||
        !firstWeekArgument(argc, argv, 4, firstWeek))
        return fail(ctx, kMsgInvalidCall);
    const auto a = asDate(argv[1]);
    const auto b = asDate(argv[2]);
    if (!a || !b)
        return fail(ctx, kMsgTypeMismatch);
    const QDate da = a->date(), db = b->date();
    const qint64 days = da.daysTo(db);
    const qint64 secA = a->time().msecsSinceStartOfDay() / 1000, secB = b->time().msecsSinceStartOfDay() / 1000;
    qint64 r = 0;
    switch (what) {
    case Interval::Year:
        r = db.year() - da.year();
        break;
    case Interval::Quarter:
        r = (db.year() * 4 + (db.month() - 1) / 3) - (da.year() * 4 + (da.month() - 1) / 3);
        break;
    case Interval::Month:
        r = (db.year() * 12 + db.month()) - (da.year() * 12 + da.month());
        break;
    case Interval::DayOfYear:
    case Interval::Day:
        r = days;
        break;
    case Interval::Weekday:
        r = days / 7;
        break;
    case Interval::Week:
        r = weekStart(da, firstDay).daysTo(weekStart(db, firstDay)) / 7;
        break;
    case Interval::Hour:
        r = (days * 24 + secB / 3600) - secA / 3600;
        break;
    case Interval::Minute:
        r = (days * 1440 + secB / 60) - secA / 60;
        break;
    case Interval::Second:
        r = days * 86400 + secB - secA;
        break;
    case Interval::Bad:
        break;
    }
    sqlite3_result_int64(ctx, r);
}

void jetDatePart(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (isNull(argv[1]))
        return sqlite3_result_null(ctx);
    const Interval what = interval(argv[0]);
    int firstDay = 1, firstWeek = 1;
    if (what == Interval::Bad || !firstDayArgument(argc, argv, 2, firstDay) ||
        !firstWeekArgument(argc, argv, 3, firstWeek))
        return fail(ctx, kMsgInvalidCall);
    const auto d = asDate(argv[1]);
    if (!d)
        return fail(ctx, kMsgTypeMismatch);
    const QDate date = d->date();
    const QTime time = d->time();
    int r = 0;
    switch (what) {
    case Interval::Year:
        r = date.year();
        break;
    case Interval::Quarter:
        r = (date.month() - 1) / 3 + 1;
        break;
    case Interval::Month:
        r = date.month();
        break;
    case Interval::DayOfYear:
        r = date.dayOfYear();
        break;
    case Interval::Day:
        r = date.day();
        break;
    case Interval::Weekday:
        r = weekday(date, firstDay);
        break;
    case Interval::Week:
        r = weekOfYear(date, firstDay, firstWeek);
        break;
    case Interval::Hour:
        r = time.hour();
        break;
    case Interval::Minute:
        r = time.minute();
        break;
    case Interval::Second:
        r = time.second();
        break;
    case Interval::Bad:
        break;
    }
    sqlite3_result_int(ctx, r);
}

void timePart(sqlite3_context* ctx, sqlite3_value* v, int part)
{
    if (isNull(v))
        return sqlite3_result_null(ctx);
    const auto d = asDate(v);
    if (!d)
        return fail(ctx, kMsgTypeMismatch);
    const QTime t = d->time();
    sqlite3_result_int(ctx, part == 0 ? t.hour() : part == 1 ? t.minute() : t.second());
}

void jetHour(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    timePart(ctx, argv[0], 0);
}
void jetMinute(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    timePart(ctx, argv[0], 1);
}
void jetSecond(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    timePart(ctx, argv[0], 2);
}

void jetWeekday(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    int firstDay = 1;
    if (!firstDayArgument(argc, argv, 1, firstDay))
        return fail(ctx, kMsgInvalidCall);
    const auto d = asDate(argv[0]);
    if (!d)
        return fail(ctx, kMsgTypeMismatch);
    sqlite3_result_int(ctx, weekday(d->date(), firstDay));
}

// Each part must fit an Integer; two-digit years are 1930..2029.
bool serialParts(sqlite3_context* ctx, sqlite3_value** argv, qint64 parts[3])
{
    for (int i = 0; i < 3; ++i) {
        if (!wholeArgument(argv[i], parts[i])) {
            fail(ctx, kMsgTypeMismatch);
            return false;
        }
        if (parts[i] < -32768 || parts[i] > 32767) {
            fail(ctx, kMsgOverflow);
            return false;
        }
    }
    return true;
}

void jetDateSerial(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) || isNull(argv[1]) || isNull(argv[2]))
        return sqlite3_result_null(ctx);
    qint64 p[3];
    if (!serialParts(ctx, argv, p))
        return;
    qint64 year = p[0];
    if (year >= 0 && year <= 29)
        year += 2000;
    else if (year >= 30 && year <= 99)
        year += 1900;
    if (year < 1 || year > 9999)
        return fail(ctx, kMsgInvalidCall);
    const QDate date = QDate(int(year), 1, 1).addMonths(int(p[1] - 1)).addDays(p[2] - 1);
    if (!date.isValid())
        return fail(ctx, kMsgInvalidCall);
    resultDate(ctx, QDateTime(date, QTime(0, 0)));
}

// TimeSerial: the parts roll over into each other and whole days into the date.
void jetTimeSerial(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) || isNull(argv[1]) || isNull(argv[2]))
        return sqlite3_result_null(ctx);
    qint64 p[3];
    if (!serialParts(ctx, argv, p))
        return;
    const qint64 secs = p[0] * 3600 + p[1] * 60 + p[2];
    const auto d = fromDayNumber(double(secs) / 86400.0);
    if (!d)
        return fail(ctx, kMsgInvalidCall);
    resultDate(ctx, *d);
}

void jetDateValue(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const auto d = asDate(argv[0]);
    if (!d)
        return fail(ctx, kMsgTypeMismatch);
    resultDate(ctx, QDateTime(d->date(), QTime(0, 0)));
}

void jetTimeValue(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const auto d = asDate(argv[0]);
    if (!d)
        return fail(ctx, kMsgTypeMismatch);
    resultDate(ctx, QDateTime(kDayZero, d->time()));
}

// ---- Format -------------------------------------------------------------------------

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

QString monthName(int m, bool abbreviated)
{
    const QString n = QLatin1String(kMonthNames[m - 1]);
    return abbreviated ? n.left(3) : n;
}

QString dayName(const QDate& d, bool abbreviated)
{
    const QString n = QLatin1String(kDayNames[sundayWeekday(d) - 1]);
    return abbreviated ? n.left(3) : n;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString shortDate(const QDate& d)
{
    return QStringLiteral("%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year());
}

QString longDate(const QDate& d)
{
    return QStringLiteral("%1, %2 %3, %4").arg(dayName(d, false), monthName(d.month(), false), twoDigits(d.day()))
        .arg(d.year());
}

QString longTime(const QTime& t)
{
    const int h12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return QStringLiteral("%1:%2:%3 %4")
        .arg(h12)
        .arg(twoDigits(t.minute()), twoDigits(t.second()),
             t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

// General Date: the date, the time, or both, as far as the value has them.
QString generalDate(const QDateTime& dt)
{
    const bool hasDate = dt.date() != kDayZero;
    const bool hasTime = dt.time() != QTime(0, 0);
    if (!hasTime)
        return shortDate(dt.date());
    if (!hasDate)
        return longTime(dt.time());
    return shortDate(dt.date()) + u' ' + longTime(dt.time());
}

// A custom date format: d dd ddd dddd ddddd dddddd w ww m mm mmm mmmm q y
// yy yyyy h hh n nn s ss ttttt c, AM/PM am/pm A/P a/p AMPM; m right after
// an hour means minutes; \x and "..." are literal.
QString formatDate(const QDateTime& dt, const QString& f, int firstDay, int firstWeek)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    const bool twelveHour = f.contains(QLatin1String("AM/PM"), Qt::CaseInsensitive) ||
                            f.contains(QLatin1String("A/P"), Qt::CaseInsensitive) ||
                            f.contains(QLatin1String("AMPM"), Qt::CaseInsensitive);
    QString out;
    bool afterHour = false;
    qsizetype i = 0;
    auto run = [&](QChar c) {
        qsizetype n = 0;
        while (i + n < f.size() && f[i + n].toLower() == c)
            ++n;
        return n;
    };
    while (i < f.size()) {
        const QChar c = f[i];
        const QChar lc = c.toLower();
        if (c == u'\\' && i + 1 < f.size()) {
            out += f[i + 1];
            i += 2;
            continue;
        }
        if (c == u'"') {
            const qsizetype end = f.indexOf(u'"', i + 1);
            out += f.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? f.size() : end + 1;
            continue;
        }
        if (f.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            const bool upper = f[i].isUpper();
            const QString s = t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            out += upper ? s : s.toLower();
            i += 5;
            continue;
        }
        if (f.mid(i, 4).compare(QLatin1String("AMPM"), Qt::CaseInsensitive) == 0) {
            out += t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            i += 4;
            continue;
        }
        if (f.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            const QString s = t.hour() < 12 ? QStringLiteral("A") : QStringLiteral("P");
            out += f[i].isUpper() ? s : s.toLower();
            i += 3;
            continue;
        }
        const qsizetype n = (lc == u'd' || lc == u'm' || lc == u'y' || lc == u'h' || lc == u'n' || lc == u's' ||
                             lc == u'w' || lc == u'q' || lc == u't' || lc == u'c')
                                ? run(lc)
                                : 0;
        if (n == 0) {
            out += c;
            ++i;
            continue;
        }
        i += n;
        switch (lc.unicode()) {
        case 'd':
            out += n == 1   ? QString::number(d.day())
                   : n == 2 ? twoDigits(d.day())
                   : n == 3 ? dayName(d, true)
                   : n == 4 ? dayName(d, false)
                   : n == 5 ? shortDate(d)
                            : longDate(d);
            afterHour = false;
            break;
        case 'm':
            if (afterHour && n <= 2) {
                out += n == 1 ? QString::number(t.minute()) : twoDigits(t.minute());
            } else {
                out += n == 1   ? QString::number(d.month())
                       : n == 2 ? twoDigits(d.month())
                       : n == 3 ? monthName(d.month(), true)
                                : monthName(d.month(), false);
            }
            afterHour = false;
            break;
        case 'y':
            out += n == 1   ? QString::number(d.dayOfYear())
                   : n <= 3 ? twoDigits(d.year() % 100)
                            : QString::number(d.year());
            afterHour = false;
            break;
        case 'q':
            out += QString::number((d.month() - 1) / 3 + 1);
            break;
        case 'w':
            out += QString::number(n == 1 ? weekday(d, firstDay) : weekOfYear(d, firstDay, firstWeek));
            break;
        case 'h': {
            const int h = twelveHour ? (t.hour() % 12 == 0 ? 12 : t.hour() % 12) : t.hour();
            out += n == 1 ? QString::number(h) : twoDigits(h);
            afterHour = true;
            continue;
        }
        case 'n':
            out += n == 1 ? QString::number(t.minute()) : twoDigits(t.minute());
            break;
        case 's':
            out += n == 1 ? QString::number(t.second()) : twoDigits(t.second());
            break;
        case 't':
            out += longTime(t);
            break;
        case 'c':
            out += generalDate(dt);
            break;
        default:
            break;
        }
        if (lc != u'd' && lc != u'm' && lc != u'y')
            afterHour = false;
    }
    return out;
}

// Rounds half away from zero, as Format does.
double roundAway(double x, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = x * scale;
    // The product may sit a hair below the half it stands for (1.005 * 100).
    const double nudged = scaled + (scaled >= 0 ? 1e-9 : -1e-9) * std::max(1.0, std::fabs(scaled)) * 1e-6;
    return std::round(nudged) / scale;
}

QString groupThousands(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype k = 0; k < n; ++k) {
        if (k > 0 && (n - k) % 3 == 0)
            out += u',';
        out += digits[k];
    }
    return out;
}

// One section of a custom number format: 0 and # digit places, '.', ','
// (thousands, or a scale of 1000 just before the point), %, E+ / E-, and
// literal text before and after the digits.
QString formatNumberSection(double x, const QString& f)
{
    QString prefix, suffix, digits;
    bool inDigits = false, done = false;
    bool percent = false;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == u'\\' && i + 1 < f.size()) {
            (inDigits || done ? suffix : prefix) += f[++i];
            if (inDigits) {
                done = true;
                inDigits = false;
            }
            continue;
        }
        if (c == u'"') {
            const qsizetype end = f.indexOf(u'"', i + 1);
            const QString lit = f.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? f.size() : end;
            if (inDigits) {
                done = true;
                inDigits = false;
            }
            (done ? suffix : prefix) += lit;
            continue;
        }
        const bool placeholder = c == u'0' || c == u'#' || ((c == u'.' || c == u',') && !done);
        const bool exponent = (c == u'E' || c == u'e') && inDigits && i + 1 < f.size() &&
                              (f[i + 1] == u'+' || f[i + 1] == u'-');
        if (!done && (placeholder || exponent)) {
            inDigits = true;
            digits += c;
            if (exponent) {
                digits += f[++i];
                while (i + 1 < f.size() && (f[i + 1] == u'0' || f[i + 1] == u'#'))
                    digits += f[++i];
            }
            continue;
        }
        if (c == u'%')
            percent = true;
        if (inDigits) {
            inDigits = false;
            done = true;
        }
        (done ? suffix : prefix) += c;
    }
    if (percent)
        x *= 100;
    // The exponent part, if any.
    QString mantissa = digits;
    QString expPart;
    const qsizetype e = digits.indexOf(QRegularExpression(QStringLiteral("[Ee][+-]")));
    if (e >= 0) {
        mantissa = digits.left(e);
        expPart = digits.mid(e);
    }
    const qsizetype point = mantissa.indexOf(u'.');
    QString intPart = point < 0 ? mantissa : mantissa.left(point);
    const QString fracPart = point < 0 ? QString() : mantissa.mid(point + 1);
    // Commas right before the point (or the end) scale by 1000 each.
    while (intPart.endsWith(u',')) {
        intPart.chop(1);
        x /= 1000;
    }
    const bool grouping = intPart.contains(u',');
    const int minInt = int(intPart.count(u'0'));
    const int fracZeros = int(fracPart.count(u'0'));
    const int fracPlaces = int(fracPart.count(u'0') + fracPart.count(u'#'));
    int exponentValue = 0;
    if (!expPart.isEmpty() && x != 0) {
        const int intPlaces = std::max(1, int(intPart.count(u'0') + intPart.count(u'#')));
        exponentValue = int(std::floor(std::log10(std::fabs(x)))) - (intPlaces - 1);
        x /= std::pow(10.0, exponentValue);
        if (std::fabs(roundAway(x, fracPlaces)) >= std::pow(10.0, intPlaces)) {
            x /= 10;
            ++exponentValue;
        }
    }
    const double r = std::fabs(roundAway(x, fracPlaces));
    QString number = QString::number(r, 'f', fracPlaces);
    QString whole = number.section(u'.', 0, 0);
    QString frac = fracPlaces > 0 ? number.section(u'.', 1, 1) : QString();
    while (frac.size() > fracZeros && frac.endsWith(u'0'))
        frac.chop(1);
    if (whole == u"0" && minInt == 0)
        whole.clear();
    while (whole.size() < minInt)
        whole.prepend(u'0');
    if (grouping)
        whole = groupThousands(whole);
    QString body = whole;
    if (point >= 0)
        body += u'.' + frac;
    if (!expPart.isEmpty()) {
        const QString expDigits = expPart.mid(2);
        const int minExp = std::max(1, int(expDigits.count(u'0')));
        const QString sign = exponentValue < 0 ? QStringLiteral("-") : (expPart[1] == u'+' ? QStringLiteral("+") : QString());
        body += expPart[0] + sign + QStringLiteral("%1").arg(std::abs(exponentValue), minExp, 10, QLatin1Char('0'));
    }
    return prefix + body + suffix;
}

QString formatNumber(double x, const QString& f, bool& isNullSection)
{
    isNullSection = false;
    QStringList sections;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == u'"')
            quoted = !quoted;
        if (c == u'\\' && i + 1 < f.size()) {
            current += c;
            current += f[++i];
            continue;
        }
        if (c == u';' && !quoted) {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    if (x < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return formatNumberSection(-x, sections[1]);
    if (x == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return formatNumberSection(0, sections[2]);
    QString s = formatNumberSection(std::fabs(x), sections[0]);
    // A negative number that rounds to nothing but zeros loses its sign.
    bool anyDigit = false;
    for (QChar c : s)
        anyDigit = anyDigit || (c >= u'1' && c <= u'9');
    return x < 0 && anyDigit ? u'-' + s : s;
}

bool isDateFormat(const QString& f)
{
    static const QRegularExpression dateCodes(QStringLiteral("[dmyhnswqtc]|AM/PM|A/P"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString plain;
    for (qsizetype i = 0; i < f.size(); ++i) {
        if (f[i] == u'\\') {
            ++i;
            continue;
        }
        if (f[i] == u'"') {
            const qsizetype end = f.indexOf(u'"', i + 1);
            i = end < 0 ? f.size() : end;
            continue;
        }
        plain += f[i];
    }
    return plain.contains(dateCodes) && !plain.contains(u'0') && !plain.contains(u'#');
}

// Format(value[, format[, firstdayofweek[, firstweekofyear]]]), with Jet's
// named formats as in the United States settings and custom formats.
void jetFormat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    const QString f = argc >= 2 && !isNull(argv[1]) ? asText(argv[1]) : QString();
    int firstDay = 1, firstWeek = 1;
    if (!firstDayArgument(argc, argv, 2, firstDay) || !firstWeekArgument(argc, argv, 3, firstWeek))
        return fail(ctx, kMsgInvalidCall);
    if (isNull(v)) {
        // The fourth section of a number format is for Null.
        const QStringList sections = f.split(u';');
        if (sections.size() >= 4)
            return resultText(ctx, QString(sections[3]).remove(u'"'));
        return sqlite3_result_null(ctx);
    }
    const QString name = f.trimmed().toLower();
    const bool dateValue = isDateValue(v);
    double x = 0;
    const bool numeric = !dateValue && asNumber(v, x);
    if (f.isEmpty()) {
        if (dateValue)
            return resultText(ctx, generalDate(*asDate(v)));
        return resultText(ctx, asText(v));
    }
    // Named date formats, also for numbers and texts that are dates.
    if (name == u"general date" || name == u"long date" || name == u"medium date" || name == u"short date" ||
        name == u"long time" || name == u"medium time" || name == u"short time") {
        const auto d = asDate(v);
        if (!d)
            return resultText(ctx, asText(v));
        const QTime t = d->time();
        const int h12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
        const QString ampm = t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
        if (name == u"general date")
            return resultText(ctx, generalDate(*d));
        if (name == u"long date")
            return resultText(ctx, longDate(d->date()));
        if (name == u"medium date")
            return resultText(ctx, QStringLiteral("%1-%2-%3")
                                       .arg(twoDigits(d->date().day()), monthName(d->date().month(), true),
                                            twoDigits(d->date().year() % 100)));
        if (name == u"short date")
            return resultText(ctx, shortDate(d->date()));
        if (name == u"long time")
            return resultText(ctx, longTime(t));
        if (name == u"medium time")
            return resultText(ctx, QStringLiteral("%1:%2 %3").arg(twoDigits(h12), twoDigits(t.minute()), ampm));
        return resultText(ctx, QStringLiteral("%1:%2").arg(twoDigits(t.hour()), twoDigits(t.minute())));
    }
    if (numeric) {
        if (name == u"general number")
            return resultText(ctx, numberText(x));
        if (name == u"currency")
            return resultText(ctx, x < 0 ? QStringLiteral("(") + formatNumberSection(-x, QStringLiteral("$#,##0.00")) +
                                               u')'
                                         : formatNumberSection(x, QStringLiteral("$#,##0.00")));
        if (name == u"fixed") {
            bool unused = false;
            return resultText(ctx, formatNumber(x, QStringLiteral("0.00"), unused));
        }
        if (name == u"standard") {
            bool unused = false;
            return resultText(ctx, formatNumber(x, QStringLiteral("#,##0.00"), unused));
        }
        if (name == u"percent") {
            bool unused = false;
            return resultText(ctx, formatNumber(x, QStringLiteral("0.00%"), unused));
        }
        if (name == u"scientific") {
            bool unused = false;
            return resultText(ctx, formatNumber(x, QStringLiteral("0.00E+00"), unused));
        }
        if (name == u"yes/no")
            return resultText(ctx, x != 0 ? QStringLiteral("Yes") : QStringLiteral("No"));
        if (name == u"true/false")
            return resultText(ctx, x != 0 ? QStringLiteral("True") : QStringLiteral("False"));
        if (name == u"on/off")
            return resultText(ctx, x != 0 ? QStringLiteral("On") : QStringLiteral("Off"));
    }
    if (dateValue || (!numeric && asDate(v)) || (numeric && isDateFormat(f))) {
        const auto d = asDate(v);
        if (d && isDateFormat(f))
            return resultText(ctx, formatDate(*d, f, firstDay, firstWeek));
        if (!numeric)
            return resultText(ctx, asText(v));
    }
    if (!numeric)
        return resultText(ctx, asText(v));
    bool unused = false;
    resultText(ctx, formatNumber(x, f, unused));
}

// ---- text -------------------------------------------------------------------------

// Chr and Asc speak the Windows code page of Central Europe (1250).
QString fromCodePage(int code)
{
    QStringDecoder decoder("windows-1250");
    const char byte = char(code);
    QString s = decoder.isValid() ? decoder(QByteArrayView(&byte, 1)) : QString(QChar(code));
    return s;
}

void jetChr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    qint64 n = 0;
    if (!wholeArgument(argv[0], n))
        return fail(ctx, kMsgTypeMismatch);
    if (n < 0 || n > 255)
        return fail(ctx, kMsgInvalidCall);
    resultText(ctx, fromCodePage(int(n)));
}

void jetChrW(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    qint64 n = 0;
    if (!wholeArgument(argv[0], n))
        return fail(ctx, kMsgTypeMismatch);
    if (n < -32768 || n > 65535)
        return fail(ctx, kMsgInvalidCall);
    resultText(ctx, QString(QChar(char16_t(n < 0 ? n + 65536 : n))));
}

void jetAsc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const QString s = asText(argv[0]);
    if (s.isEmpty())
        return fail(ctx, kMsgInvalidCall);
    QStringEncoder encoder("windows-1250");
    if (encoder.isValid()) {
        const QByteArray b = encoder(s.left(1));
        if (!encoder.hasError() && b.size() == 1)
            return sqlite3_result_int(ctx, uchar(b[0]));
    }
    sqlite3_result_int(ctx, s[0].unicode() < 256 ? s[0].unicode() : '?');
}

void jetAscW(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const QString s = asText(argv[0]);
    if (s.isEmpty())
        return fail(ctx, kMsgInvalidCall);
    sqlite3_result_int(ctx, s[0].unicode());
}

// StrComp(a, b[, compare]): -1, 0, 1; text comparison (Jet's order, no
// case) unless compare is 0 (binary).
void jetStrComp(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (isNull(argv[0]) || isNull(argv[1]))
        return sqlite3_result_null(ctx);
    qint64 mode = 1;
    if (argc == 3 && !isNull(argv[2]) && !wholeArgument(argv[2], mode))
        return fail(ctx, kMsgTypeMismatch);
    if (mode < -1 || mode > 2)
        return fail(ctx, kMsgInvalidCall);
    const QString a = asText(argv[0]), b = asText(argv[1]);
    const int c = mode == 0 ? a.compare(b) : jetCompare(a, b);
    sqlite3_result_int(ctx, c < 0 ? -1 : c > 0 ? 1 : 0);
}

bool countArgument(sqlite3_context* ctx, sqlite3_value* v, qint64& n)
{
    if (!wholeArgument(v, n)) {
        fail(ctx, kMsgTypeMismatch);
        return false;
    }
    if (n < 0 || n > 10000000) {
        fail(ctx, kMsgInvalidCall);
        return false;
    }
    return true;
}

void jetSpace(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    qint64 n = 0;
    if (!countArgument(ctx, argv[0], n))
        return;
    resultText(ctx, QString(qsizetype(n), u' '));
}

// String(n, c): c is a text (its first character) or a character code.
void jetString(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) || isNull(argv[1]))
        return sqlite3_result_null(ctx);
    qint64 n = 0;
    if (!countArgument(ctx, argv[0], n))
        return;
    QString c;
    if (isNumeric(argv[1])) {
        qint64 code = 0;
        wholeArgument(argv[1], code);
        c = fromCodePage(int(((code % 256) + 256) % 256));
    } else {
        c = asText(argv[1]).left(1);
        if (c.isEmpty())
            return fail(ctx, kMsgInvalidCall);
    }
    resultText(ctx, c.repeated(qsizetype(n)));
}

// Replace(s, find, with[, start[, count[, compare]]]): the result starts at
// `start`; text comparison (no case) unless compare is 0.
void jetReplace(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    qint64 start = 1, count = -1, mode = 1;
    if ((argc > 3 && !wholeArgument(argv[3], start)) || (argc > 4 && !wholeArgument(argv[4], count)) ||
        (argc > 5 && !isNull(argv[5]) && !wholeArgument(argv[5], mode)))
        return fail(ctx, kMsgTypeMismatch);
    if (start < 1 || count < -1)
        return fail(ctx, kMsgInvalidCall);
    const QString s = asText(argv[0]);
    if (start > s.size())
        return resultText(ctx, QString());
    const QString find = asText(argv[1]);
    const QString with = asText(argv[2]);
    QString rest = s.mid(start - 1);
    if (find.isEmpty() || count == 0)
        return resultText(ctx, rest);
    const Qt::CaseSensitivity cs = mode == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QString out;
    qsizetype from = 0;
    qint64 done = 0;
    while (count < 0 || done < count) {
        const qsizetype at = rest.indexOf(find, from, cs);
        if (at < 0)
            break;
        out += QStringView(rest).mid(from, at - from);
        out += with;
        from = at + find.size();
        ++done;
    }
    out += QStringView(rest).mid(from);
    resultText(ctx, out);
}

// ---- aggregates -------------------------------------------------------------------------

struct FirstLast {
    sqlite3_value* value;
    bool seen;
};

void firstStep(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* s = static_cast<FirstLast*>(sqlite3_aggregate_context(ctx, sizeof(FirstLast)));
    if (!s || s->seen)
        return;
    s->value = sqlite3_value_dup(argv[0]);
    s->seen = true;
}

void lastStep(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* s = static_cast<FirstLast*>(sqlite3_aggregate_context(ctx, sizeof(FirstLast)));
    if (!s)
        return;
    sqlite3_value_free(s->value);
    s->value = sqlite3_value_dup(argv[0]);
    s->seen = true;
}

void firstLastFinal(sqlite3_context* ctx)
{
    auto* s = static_cast<FirstLast*>(sqlite3_aggregate_context(ctx, 0));
    if (!s || !s->value)
        return sqlite3_result_null(ctx);
    sqlite3_result_value(ctx, s->value);
    sqlite3_value_free(s->value);
    s->value = nullptr;
}

// Welford's running mean and sum of squares.
struct Spread {
    qint64 n;
    double mean;
    double m2;
    bool bad;
};

void spreadStep(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* s = static_cast<Spread*>(sqlite3_aggregate_context(ctx, sizeof(Spread)));
    if (!s || isNull(argv[0]))
        return;
    double x = 0;
    if (!asNumber(argv[0], x)) {
        s->bad = true;
        return;
    }
    ++s->n;
    const double delta = x - s->mean;
    s->mean += delta / double(s->n);
    s->m2 += delta * (x - s->mean);
}

void spreadFinal(sqlite3_context* ctx, bool sample, bool root)
{
    auto* s = static_cast<Spread*>(sqlite3_aggregate_context(ctx, 0));
    if (s && s->bad)
        return fail(ctx, kMsgTypeMismatch);
    const qint64 n = s ? s->n : 0;
    if (n == 0 || (sample && n < 2))
        return sqlite3_result_null(ctx);
    const double var = s->m2 / double(sample ? n - 1 : n);
    sqlite3_result_double(ctx, root ? std::sqrt(var) : var);
}

void stdevFinal(sqlite3_context* ctx)
{
    spreadFinal(ctx, true, true);
}
void stdevpFinal(sqlite3_context* ctx)
{
    spreadFinal(ctx, false, true);
}
void varFinal(sqlite3_context* ctx)
{
    spreadFinal(ctx, true, false);
}
void varpFinal(sqlite3_context* ctx)
{
    spreadFinal(ctx, false, false);
}

// ---- storing --------------------------------------------------------------------------

// What a column's declared type takes.
struct Target {
    enum Kind { Pass, Whole, Number, Currency, YesNo, Date, Text } kind = Pass;
    double low = 0, high = 0;  // Whole
    int size = 0;              // Text(n); 0 for Memo
    QString name;
};

Target targetOf(const QString& name, const QString& declared)
{
    Target t;
    t.name = name;
    const QString word = declared.trimmed().section(u'(', 0, 0).trimmed().toUpper();
    if (word == u"BYTE") {
        t.kind = Target::Whole;
        t.low = 0;
        t.high = 255;
        return t;
    }
    switch (jetTypeFromDeclared(declared)) {
    case JetType::Long:
    case JetType::Counter:
        t.kind = Target::Whole;
        t.low = -2147483648.0;
        t.high = 2147483647.0;
        break;
    case JetType::Integer:
        t.kind = Target::Whole;
        t.low = -32768;
        t.high = 32767;
        break;
    case JetType::Double:
        t.kind = Target::Number;
        break;
    case JetType::Currency:
        t.kind = Target::Currency;
        break;
    case JetType::YesNo:
        t.kind = Target::YesNo;
        break;
    case JetType::DateTime:
        t.kind = Target::Date;
        break;
    case JetType::Text: {
        t.kind = Target::Text;
        const qsizetype open = declared.indexOf(u'(');
        t.size = open < 0 ? 255 : declared.mid(open + 1).section(u')', 0, 0).trimmed().toInt();
        break;
    }
    case JetType::Memo:
        t.kind = Target::Text;
        break;
    case JetType::Unknown:
        break;
    }
    return t;
}

// The column `column` (a name, or a position from 0) of `table`.
std::optional<Target> lookUpTarget(sqlite3* db, sqlite3_value* table, sqlite3_value* column)
{
    const QByteArray tableName = asText(table).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name, type FROM pragma_table_info(?1)", -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return std::nullopt;
    }
    sqlite3_bind_text(stmt, 1, tableName.constData(), int(tableName.size()), SQLITE_TRANSIENT);
    const bool byPosition = sqlite3_value_type(column) == SQLITE_INTEGER;
    const qint64 position = sqlite3_value_int64(column);
    const QString name = asText(column);
    std::optional<Target> found;
    qint64 k = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const QString colName = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        if (byPosition ? k == position : colName.compare(name, Qt::CaseInsensitive) == 0) {
            found = targetOf(colName, QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1))));
            break;
        }
        ++k;
    }
    sqlite3_finalize(stmt);
    return found;
}

// "YYYY-MM-DD HH:MM:SS" with the parts in range, read without decoding the text
// (the form every stored date has).
bool looksCanonical(const unsigned char* s, int n)
{
    static const char pattern[] = "9999-99-99 99:99:99";
    if (n != 19)
        return false;
    for (int i = 0; i < 19; ++i)
        if (pattern[i] == '9' ? (s[i] < '0' || s[i] > '9') : s[i] != static_cast<unsigned char>(pattern[i]))
            return false;
    auto two = [&](int at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); };
    const int year = two(0) * 100 + two(2);
    const int month = two(5), day = two(8);
    return year >= 100 && month >= 1 && month <= 12 && day >= 1 && day <= QDate(year, month, 1).daysInMonth() &&
           two(11) < 24 && two(14) < 60 && two(17) < 60;
}

// The column types jet_store() has read, per connection: a statement's
// auxiliary data does not outlive sqlite3_reset(), and a prepared INSERT is
// reset for every row. An entry by name is checked against the declared type
// the schema holds now (a cheap look-up); an entry by position is dropped
// with the rest when the database layer forgets its schema after DDL.
struct StoredTypes {
    struct Entry {
        Target target;
        std::string declared;
    };
    std::unordered_map<std::string, Entry> entries;
};

std::mutex& storedTypesMutex()
{
    static std::mutex m;
    return m;
}

std::unordered_map<sqlite3*, StoredTypes*>& storedTypesByConnection()
{
    static std::unordered_map<sqlite3*, StoredTypes*> map;
    return map;
}

void deleteStoredTypes(void* p)
{
    auto* types = static_cast<StoredTypes*>(p);
    std::lock_guard<std::mutex> lock(storedTypesMutex());
    auto& map = storedTypesByConnection();
    for (auto it = map.begin(); it != map.end(); ++it)
        if (it->second == types) {
            map.erase(it);
            break;
        }
    delete types;
}

const Target* cachedTarget(sqlite3_context* ctx, sqlite3_value* table, sqlite3_value* column)
{
    auto* types = static_cast<StoredTypes*>(sqlite3_user_data(ctx));
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const bool byName = sqlite3_value_type(column) == SQLITE_TEXT;
    std::string key(reinterpret_cast<const char*>(sqlite3_value_text(table)), size_t(sqlite3_value_bytes(table)));
    key += '\x1f';
    key.append(reinterpret_cast<const char*>(sqlite3_value_text(column)), size_t(sqlite3_value_bytes(column)));
    const char* declared = nullptr;
    if (byName && sqlite3_table_column_metadata(db, nullptr, reinterpret_cast<const char*>(sqlite3_value_text(table)),
                                                reinterpret_cast<const char*>(sqlite3_value_text(column)), &declared,
                                                nullptr, nullptr, nullptr, nullptr) != SQLITE_OK)
        return nullptr;
    const auto it = types->entries.find(key);
    if (it != types->entries.end() && (!byName || it->second.declared == (declared ? declared : "")))
        return &it->second.target;
    auto found = lookUpTarget(db, table, column);
    if (!found)
        return nullptr;
    if (types->entries.size() > 4096)
        types->entries.clear();
    auto& entry = types->entries[key];
    entry.target = std::move(*found);
    entry.declared = declared ? declared : "";
    return &entry.target;
}

void conversionError(sqlite3_context* ctx, const Target& t)
{
    const QByteArray m = (QLatin1String(kMsgConversionStart) + t.name + QStringLiteral("'.")).toUtf8();
    sqlite3_result_error(ctx, m.constData(), int(m.size()));
}

// jet_store(value, table, column): the value as the column keeps it, or
// Jet's error: whole numbers are rounded half to even and must fit the
// type (3421), texts must fit the field's size (3163), dates and numbers
// must read as such (3421). Statements and the table-type recordset refuse
// the same values.
void jetStore(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    if (isNull(v))
        return sqlite3_result_null(ctx);
    const Target* target = cachedTarget(ctx, argv[1], argv[2]);
    if (!target)
        return sqlite3_result_value(ctx, v);  // not a column of a table (a view): the engine decides
    const Target& t = *target;
    switch (t.kind) {
    case Target::Pass:
        return sqlite3_result_value(ctx, v);
    case Target::Whole: {
        if (sqlite3_value_type(v) == SQLITE_INTEGER) {
            const sqlite3_int64 n = sqlite3_value_int64(v);
            if (double(n) < t.low || double(n) > t.high)
                return conversionError(ctx, t);
            return sqlite3_result_int64(ctx, n);
        }
        double d = 0;
        if (sqlite3_value_type(v) == SQLITE_BLOB || !asNumber(v, d))
            return conversionError(ctx, t);
        const double r = std::nearbyint(d);
        if (r < t.low || r > t.high)
            return conversionError(ctx, t);
        return sqlite3_result_int64(ctx, sqlite3_int64(r));
    }
    case Target::Number: {
        if (isNumeric(v))
            return sqlite3_result_value(ctx, v);
        double d = 0;
        if (sqlite3_value_type(v) == SQLITE_BLOB || !asNumber(v, d))
            return conversionError(ctx, t);
        return sqlite3_result_double(ctx, d);
    }
    case Target::Currency: {
        // Four decimals, rounded half to even, as the recordset keeps them.
        double d = 0;
        if (sqlite3_value_type(v) == SQLITE_BLOB || !asNumber(v, d))
            return conversionError(ctx, t);
        const auto currency = toCurrency(d);
        if (!currency)
            return conversionError(ctx, t);
        if (sqlite3_value_type(v) == SQLITE_INTEGER)
            return sqlite3_result_value(ctx, v);
        return sqlite3_result_double(ctx, *currency);
    }
    case Target::YesNo: {
        // A whole number is kept as it is (it reads back as -1 or 0; the
        // store keeps a status 2 in a Yes/No column), like the recordset does.
        if (sqlite3_value_type(v) == SQLITE_INTEGER)
            return sqlite3_result_value(ctx, v);
        double d = 0;
        if (asNumber(v, d)) {
            if (d == std::floor(d) && std::fabs(d) < 9e15)
                return sqlite3_result_int64(ctx, sqlite3_int64(d));
            return sqlite3_result_int(ctx, d != 0 ? -1 : 0);
        }
        const QString s = asText(v).trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            s.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0)
            return sqlite3_result_int(ctx, -1);
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
            s.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0)
            return sqlite3_result_int(ctx, 0);
        return conversionError(ctx, t);
    }
    case Target::Date: {
        if (sqlite3_value_type(v) == SQLITE_TEXT && looksCanonical(sqlite3_value_text(v), sqlite3_value_bytes(v)))
            return sqlite3_result_value(ctx, v);
        const auto d = sqlite3_value_type(v) == SQLITE_BLOB ? std::nullopt : asDate(v);
        if (!d)
            return conversionError(ctx, t);
        return resultText(ctx, toCanonicalDate(*d));
    }
    case Target::Text: {
        if (sqlite3_value_type(v) == SQLITE_BLOB)  // bytes go in as they are
            return sqlite3_result_value(ctx, v);
        // No more bytes than the field's size: no more characters either.
        if (sqlite3_value_type(v) == SQLITE_TEXT && (t.size == 0 || sqlite3_value_bytes(v) <= t.size))
            return sqlite3_result_value(ctx, v);
        const QString s = asText(v);
        if (t.size > 0 && s.size() > t.size) {
            const QByteArray m = (QLatin1String(kMsgFieldTooSmallStart) + t.name +
                                  QLatin1String(kMsgFieldTooSmallEnd) +
                                  QStringLiteral(" (%1 characters, at most %2).").arg(s.size()).arg(t.size))
                                     .toUtf8();
            return sqlite3_result_error(ctx, m.constData(), int(m.size()));
        }
        if (sqlite3_value_type(v) == SQLITE_TEXT)
            return sqlite3_result_value(ctx, v);
        return resultText(ctx, s);
    }
    }
}

struct Function {
    const char* name;
    int arguments;  // -1: any
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
    bool deterministic = true;
};

const Function kFunctions[] = {
    {"jet_div", 2, jetDiv},
    {"jet_cint16", 1, jetCint16},
    {"jet_clng", 1, jetClng},
    {"jet_cbyte", 1, jetCbyte},
    {"jet_ccur", 1, jetCcur},
    {"jet_csng", 1, jetCsng},
    {"jet_cbool", 1, jetCbool},
    {"jet_cdate", 1, jetCdate},
    {"jet_round", 1, jetRound},
    {"jet_round", 2, jetRound},
    // Raises its error whenever it runs: never computed ahead of its CASE.
    {"jet_fail_many", 0, jetFailMany, false},
    {"jet_choose_index", 1, jetChooseIndex},
    {"jet_dateadd", 3, jetDateAdd},
    {"jet_datediff", -1, jetDateDiff},
    {"jet_datepart", -1, jetDatePart},
    {"jet_dateserial", 3, jetDateSerial},
    {"jet_timeserial", 3, jetTimeSerial},
    {"jet_datevalue", 1, jetDateValue},
    {"jet_timevalue", 1, jetTimeValue},
    {"jet_hour", 1, jetHour},
    {"jet_minute", 1, jetMinute},
    {"jet_second", 1, jetSecond},
    {"jet_weekday", -1, jetWeekday},
    {"jet_format", -1, jetFormat},
    {"jet_chr", 1, jetChr},
    {"jet_chrw", 1, jetChrW},
    {"jet_asc", 1, jetAsc},
    {"jet_ascw", 1, jetAscW},
    {"jet_strcomp", -1, jetStrComp},
    {"jet_space", 1, jetSpace},
    {"jet_string", 2, jetString},
    {"jet_replace", -1, jetReplace},
};

struct Aggregate {
    const char* name;
    void (*step)(sqlite3_context*, int, sqlite3_value**);
    void (*final)(sqlite3_context*);
};

const Aggregate kAggregates[] = {
    {"jet_first", firstStep, firstLastFinal}, {"jet_last", lastStep, firstLastFinal},
    {"jet_stdev", spreadStep, stdevFinal},    {"jet_stdevp", spreadStep, stdevpFinal},
    {"jet_var", spreadStep, varFinal},        {"jet_varp", spreadStep, varpFinal},
};

}  // namespace

void registerJetFunctions(sqlite3* db)
{
    for (const Function& f : kFunctions)
        sqlite3_create_function_v2(db, f.name, f.arguments, SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0),
                                   nullptr, f.fn, nullptr, nullptr, nullptr);
    for (const Aggregate& a : kAggregates)
        sqlite3_create_function_v2(db, a.name, 1, SQLITE_UTF8, nullptr, nullptr, a.step, a.final, nullptr);
    // Reads the schema: not computed ahead of the rows it writes (not deterministic).
    auto* types = new StoredTypes;
    {
        std::lock_guard<std::mutex> lock(storedTypesMutex());
        storedTypesByConnection()[db] = types;
    }
    sqlite3_create_function_v2(db, "jet_store", 3, SQLITE_UTF8, types, jetStore, nullptr, nullptr, deleteStoredTypes);
}

void forgetColumnTypes(sqlite3* db)
{
    std::lock_guard<std::mutex> lock(storedTypesMutex());
    const auto it = storedTypesByConnection().find(db);
    if (it != storedTypesByConnection().end())
        it->second->entries.clear();
}

}  // namespace lg::jetsql
