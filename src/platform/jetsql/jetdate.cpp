#include "jetdate.h"

#include <QtCore/QList>

#include <cmath>

namespace lg::jetsql {

namespace {

constexpr qint64 kSecondsPerDay = 86400;
const qint64 kDayZero = QDate(1899, 12, 30).toJulianDay();

QString format(const QDate& d, int h, int m, int s)
{
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(h, 2, 10, QLatin1Char('0'))
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(s, 2, 10, QLatin1Char('0'));
}

bool allDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// "H", "H:MM", "H:MM:SS" (or with '.') and an optional AM/PM.
bool parseTime(QStringView text, int& h, int& m, int& s)
{
    QString t = text.trimmed().toString().toUpper();
    int ampm = 0;
    if (t.endsWith(QLatin1String("AM")) || t.endsWith(QLatin1String("PM"))) {
        ampm = t.endsWith(QLatin1String("AM")) ? 1 : 2;
        t.chop(2);
        t = t.trimmed();
    }
    const QChar sep = t.contains(u':') ? u':' : u'.';
    const QList<QStringView> parts = QStringView(t).split(sep);
    if (parts.size() > 3 || (parts.size() == 1 && ampm == 0))
        return false;
    int v[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!allDigits(parts[i]) || parts[i].size() > 2)
            return false;
        v[i] = parts[i].toInt();
    }
    h = v[0];
    m = v[1];
    s = v[2];
    if (ampm != 0) {
        if (h < 1 || h > 12)
            return false;
        if (ampm == 1 && h == 12)
            h = 0;
        else if (ampm == 2 && h != 12)
            h += 12;
    }
    return h < 24 && m < 60 && s < 60;
}

int expandYear(QStringView y)
{
    const int v = y.toInt();
    if (y.size() <= 2)
        return v < 30 ? 2000 + v : 1900 + v;
    return v;
}

}  // namespace

QString toCanonicalDate(const QDateTime& value)
{
    const QTime t = value.time();
    return format(value.date(), t.hour(), t.minute(), t.second());
}

std::optional<QDateTime> fromCanonicalDate(QStringView text)
{
    if (text.size() != 19 && text.size() != 10)
        return std::nullopt;
    auto num = [&](qsizetype at, qsizetype len) -> int {
        const QStringView part = text.mid(at, len);
        return allDigits(part) ? part.toInt() : -1;
    };
    if (text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    const QDate d(num(0, 4), num(5, 2), num(8, 2));
    if (!d.isValid())
        return std::nullopt;
    QTime t(0, 0, 0);
    if (text.size() == 19) {
        if (text[10] != u' ' || text[13] != u':' || text[16] != u':')
            return std::nullopt;
        t = QTime(num(11, 2), num(14, 2), num(17, 2));
        if (!t.isValid())
            return std::nullopt;
    }
    return QDateTime(d, t);
}

std::optional<QString> parseDateLiteral(QStringView literal)
{
    const QStringView text = literal.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    // Split the date part from the time part at the first blank.
    qsizetype blank = text.indexOf(u' ');
    QStringView datePart = blank < 0 ? text : text.left(blank);
    QStringView timePart = blank < 0 ? QStringView() : text.mid(blank + 1).trimmed();

    int h = 0, m = 0, s = 0;
    const bool looksLikeDate = datePart.contains(u'/') || (datePart.count(u'-') == 2);
    if (!looksLikeDate) {
        // A time alone lies on day zero.
        if (!parseTime(text, h, m, s))
            return std::nullopt;
        return format(QDate(1899, 12, 30), h, m, s);
    }
    QDate d;
    if (datePart.contains(u'/')) {
        const QList<QStringView> p = datePart.split(u'/');
        if (p.size() != 3 || !allDigits(p[0]) || !allDigits(p[1]) || !allDigits(p[2]) || p[2].size() > 4 ||
            p[2].size() == 3)
            return std::nullopt;
        d = QDate(expandYear(p[2]), p[0].toInt(), p[1].toInt());
    } else {
        const QList<QStringView> p = datePart.split(u'-');
        if (p.size() != 3 || !allDigits(p[0]) || p[0].size() != 4 || !allDigits(p[1]) || !allDigits(p[2]))
            return std::nullopt;
        d = QDate(p[0].toInt(), p[1].toInt(), p[2].toInt());
    }
    if (!d.isValid() || d.year() < 100)
        return std::nullopt;
    if (!timePart.isEmpty() && !parseTime(timePart, h, m, s))
        return std::nullopt;
    return format(d, h, m, s);
}

std::optional<double> canonicalToDayNumber(QStringView text)
{
    const auto dt = fromCanonicalDate(text);
    if (!dt)
        return std::nullopt;
    const QTime t = dt->time();
    const double days = double(dt->date().toJulianDay() - kDayZero);
    const double fraction = double(t.hour() * 3600 + t.minute() * 60 + t.second()) / double(kSecondsPerDay);
    // Jet keeps the time of days before day zero as a positive fraction
    // behind a negative whole part; arithmetic here works on plain time.
    return days + fraction;
}

QString dayNumberToCanonical(double days)
{
    const qint64 total = qint64(std::llround(days * double(kSecondsPerDay)));
    qint64 day = total / kSecondsPerDay;
    qint64 secs = total % kSecondsPerDay;
    if (secs < 0) {
        secs += kSecondsPerDay;
        --day;
    }
    const QDate d = QDate::fromJulianDay(kDayZero + day);
    return format(d, int(secs / 3600), int(secs / 60 % 60), int(secs % 60));
}

}  // namespace lg::jetsql
