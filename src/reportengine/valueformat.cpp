#include "reportengine/valueformat.h"

#include "platform/dao/dao.h"

#include <QtCore/QStringList>

#include <algorithm>
#include <cmath>

namespace lg::reportengine {

using namespace Qt::StringLiterals;

namespace {

constexpr QChar kDecimal = u',';
constexpr QChar kThousands = QChar(0x00A0);

bool isNull(const QVariant& v) { return !v.isValid() || v.isNull(); }

// One section of a number pattern: literal text before and after the digit
// placeholders, how many integer digits are mandatory, how many decimals are
// mandatory and allowed, whether thousands are grouped.
struct NumberPattern {
    QString prefix, suffix;
    int minInt = 0;
    int minDec = 0, maxDec = 0;
    bool grouping = false;
    bool percent = false;
};

NumberPattern parseNumberPattern(const QString& f)
{
    NumberPattern p;
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == u'0' || c == u'#' || ((c == u',' || c == u'.') && first >= 0)) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0) {
        p.prefix = f;
        p.prefix.remove(u'"');
        return p;
    }
    p.prefix = f.left(first);
    p.suffix = f.mid(last + 1);
    p.percent = p.suffix.contains(u'%');
    bool afterPoint = false;
    for (qsizetype i = first; i <= last; ++i) {
        const QChar c = f[i];
        if (c == u'.') {
            afterPoint = true;
        } else if (c == u',') {
            if (!afterPoint)
                p.grouping = true;
        } else if (afterPoint) {
            ++p.maxDec;
            if (c == u'0')
                p.minDec = p.maxDec;
        } else if (c == u'0') {
            ++p.minInt;
        }
    }
    p.prefix.remove(u'"');
    p.suffix.remove(u'"');
    return p;
}

// The sections of a number format: positive (and default), negative, zero.
struct NumberFormat {
    NumberPattern positive, negative, zero;
    bool hasNegative = false, hasZero = false;

    explicit NumberFormat(const QString& format)
    {
        const QStringList sections = format.split(u';');
        positive = parseNumberPattern(sections.value(0));
        if (sections.size() > 1 && !sections[1].isEmpty()) {
            negative = parseNumberPattern(sections[1]);
            hasNegative = true;
        }
        if (sections.size() > 2 && !sections[2].isEmpty()) {
            zero = parseNumberPattern(sections[2]);
            hasZero = true;
        }
    }
};

QString formatNumber(double value, const NumberFormat& nf)
{
    const NumberPattern* pp = &nf.positive;
    bool negativeSection = false;
    if (value < 0 && nf.hasNegative) {
        pp = &nf.negative;
        negativeSection = true;
    } else if (value == 0 && nf.hasZero) {
        pp = &nf.zero;
    }
    const NumberPattern& p = *pp;
    double v = p.percent ? value * 100 : value;
    const bool negative = v < 0 && !negativeSection;
    v = std::fabs(v);
    const QString digits = QString::number(v, 'f', p.maxDec);
    const qsizetype dot = digits.indexOf(u'.');
    QStringView intPart = dot >= 0 ? QStringView(digits).left(dot) : QStringView(digits);
    QStringView decPart = dot >= 0 ? QStringView(digits).mid(dot + 1) : QStringView();
    while (decPart.size() > p.minDec && decPart.endsWith(u'0'))
        decPart.chop(1);
    if (intPart == "0"_L1 && p.minInt == 0)
        intPart = QStringView();
    // The integer part is padded to its mandatory digits, then grouped.
    const qsizetype n = std::max<qsizetype>(intPart.size(), p.minInt);
    const qsizetype pad = n - intPart.size();
    QString out;
    out.reserve(1 + p.prefix.size() + n + n / 3 + 1 + decPart.size() + p.suffix.size());
    if (negative && (n > 0 || !decPart.isEmpty()))
        out += u'-';
    out += p.prefix;
    for (qsizetype i = 0; i < n; ++i) {
        if (p.grouping && i > 0 && (n - i) % 3 == 0)
            out += kThousands;
        out += i < pad ? QChar(u'0') : intPart[i - pad];
    }
    if (!decPart.isEmpty()) {
        out += kDecimal;
        out += decPart;
    }
    out += p.suffix;
    return out;
}

QString pad2(int v) { return QString::number(v).rightJustified(2, u'0'); }

bool looksLikeDatePattern(const QString& f)
{
    for (const QChar c : f) {
        const QChar l = c.toLower();
        if (l == u'y' || l == u'd' || l == u'm' || l == u'h' || l == u'n' || l == u's')
            return true;
    }
    return false;
}

QString formatDate(const QDateTime& dt, const QString& f)
{
    QString out;
    const qsizetype n = f.size();
    out.reserve(n + 4);
    bool lastWasHour = false;
    const QDate d = dt.date();
    const QTime t = dt.time();
    for (qsizetype i = 0; i < n;) {
        const QChar c = f[i];
        const QChar l = c.toLower();
        qsizetype run = 1;
        while (i + run < n && f[i + run].toLower() == l)
            ++run;
        if (c == u'"') {
            const qsizetype end = f.indexOf(u'"', i + 1);
            out += f.mid(i + 1, (end < 0 ? n : end) - i - 1);
            i = end < 0 ? n : end + 1;
            continue;
        }
        if (c == u'\\' && i + 1 < n) {
            out += f[i + 1];
            i += 2;
            continue;
        }
        if (l == u'y') {
            out += run >= 3 ? QString::number(d.year()) : pad2(d.year() % 100);
        } else if (l == u'm' && lastWasHour) {
            out += run >= 2 ? pad2(t.minute()) : QString::number(t.minute());
        } else if (l == u'm') {
            out += run >= 2 ? pad2(d.month()) : QString::number(d.month());
        } else if (l == u'd') {
            out += run >= 2 ? pad2(d.day()) : QString::number(d.day());
        } else if (l == u'h') {
            out += run >= 2 ? pad2(t.hour()) : QString::number(t.hour());
        } else if (l == u'n') {
            out += run >= 2 ? pad2(t.minute()) : QString::number(t.minute());
        } else if (l == u's') {
            out += run >= 2 ? pad2(t.second()) : QString::number(t.second());
        } else {
            out += f.mid(i, run);
        }
        if (l != u' ' && l != u':')
            lastWasHour = l == u'h';
        i += run;
    }
    return out;
}

}  // namespace

bool isNumber(const QVariant& v) { return dao::isNumber(v); }

bool isDateValue(const QVariant& v)
{
    return v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QDate;
}

QDateTime toDateTime(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    return v.toDateTime();
}

QString plainText(const QVariant& v)
{
    if (isNull(v))
        return {};
    if (isDateValue(v)) {
        const QDateTime dt = toDateTime(v);
        QString s = dt.date().toString(u"yyyy.MM.dd."_s);
        if (dt.time() != QTime(0, 0))
            s += u' ' + dt.time().toString(u"H:mm:ss"_s);
        return s;
    }
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
        QString s = QString::number(v.toDouble(), 'g', 15);
        s.replace(u'.', kDecimal);
        return s;
    }
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? u"Igaz"_s : u"Hamis"_s;
    return v.toString();
}

QString formatValue(const QVariant& v, const QString& format) { return ValueFormat(format).apply(v); }

struct ValueFormat::Parsed {
    NumberFormat number;
    bool datePattern;
    explicit Parsed(const QString& f) : number(f), datePattern(looksLikeDatePattern(f)) {}
};

ValueFormat::ValueFormat() = default;
ValueFormat::ValueFormat(const QString& format)
    : m_text(format), m_parsed(format.isEmpty() ? nullptr : std::make_shared<const Parsed>(format))
{
}
ValueFormat::~ValueFormat() = default;
ValueFormat::ValueFormat(const ValueFormat&) = default;
ValueFormat& ValueFormat::operator=(const ValueFormat&) = default;

QString ValueFormat::apply(const QVariant& v) const
{
    if (isNull(v))
        return {};
    if (!m_parsed)
        return plainText(v);
    if (isDateValue(v))
        return formatDate(toDateTime(v), m_text);
    if (isNumber(v) || v.typeId() == QMetaType::Bool)
        return formatNumber(v.toDouble(), m_parsed->number);
    // Text: numbers written as text still take a number format.
    bool ok = false;
    const QString s = v.toString();
    const double d = s.trimmed().replace(kDecimal, u'.').toDouble(&ok);
    if (ok && !m_parsed->datePattern)
        return formatNumber(d, m_parsed->number);
    return s;
}

bool isTruthy(const QVariant& v)
{
    if (isNull(v))
        return false;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (isNumber(v))
        return v.toDouble() != 0;
    const QString s = v.toString().trimmed();
    return s.compare("true"_L1, Qt::CaseInsensitive) == 0 || s == "-1"_L1 || s == "1"_L1 ||
           s.compare("igaz"_L1, Qt::CaseInsensitive) == 0;
}

}  // namespace lg::reportengine
