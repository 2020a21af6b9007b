#include "filters/typedinput.h"

#include <QtCore/QRegularExpression>

namespace lg::filters {

namespace {

const QString kShortDatePattern = QStringLiteral("yyyy.MM.dd.");

// Two-digit years: 00-29 are this century, 30-99 the last one.
int fullYear(int year, int digits)
{
    if (digits > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

bool isSeparator(QChar c)
{
    return c == u' ' || c == u'.' || c == u',' || c == u'-' || c == u'/' || c == u'\\';
}

// Year, month and day from blank-separated digit groups: the Hungarian order
// first, then day, month, year when the year is plainly last.
std::optional<QDate> dateFromGroups(const QStringList& groups)
{
    if (groups.size() != 3)
        return std::nullopt;
    for (const QString& g : groups) {
        if (g.isEmpty() || g.size() > 4)
            return std::nullopt;
        for (QChar c : g) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
        }
    }
    auto make = [](const QString& y, const QString& m, const QString& d) -> std::optional<QDate> {
        if (m.size() > 2 || d.size() > 2 || y.size() == 3 || y.size() == 1)
            return std::nullopt;
        const QDate date(fullYear(y.toInt(), int(y.size())), m.toInt(), d.toInt());
        if (!date.isValid())
            return std::nullopt;
        return date;
    };
    if (auto d = make(groups[0], groups[1], groups[2]))
        return d;
    if (groups[2].size() == 4 && groups[0].size() <= 2)
        return make(groups[2], groups[1], groups[0]);
    return std::nullopt;
}

std::optional<QDate> systemDate(const QString& text)
{
    return dateFromGroups(text.split(u' ', Qt::SkipEmptyParts));
}

}  // namespace

TypedInput::TypedInput(QObject* parent) : QObject(parent)
{
    m_currentDate = today();
}

TypedInput::~TypedInput() = default;

Qt::Alignment TypedInput::alignment() const
{
    return isText() || m_inputType == NoInput ? Qt::AlignLeft : Qt::AlignRight;
}

void TypedInput::setInputType(int type)
{
    m_inputType = type;
    if (isText())
        setValue(QString());
    else if (isNumber())
        setValue(0);
    else if (isDate())
        setValue(m_currentDate);
    Q_EMIT inputTypeChanged(type);
}

void TypedInput::putText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    Q_EMIT textChanged(text);
    if (!isDate() || parseDate(text))
        Q_EMIT changed();
}

void TypedInput::setText(const QString& text)
{
    putText(text);
}

QVariant TypedInput::value()
{
    if (isText())
        return m_text;
    if (isNumber()) {
        const auto number = parseNumber(m_text);
        if (!number)
            return 0;
        bool ok = false;
        const qlonglong whole = number->toLongLong(&ok);
        if (ok)
            return whole;
        return number->toDouble();
    }
    if (isDate()) {
        auto date = parseDate(m_text);
        if (!date)
            return m_lastAccepted;
        if (*date < m_minDate) {
            putText(m_minDate.toString(kShortDatePattern));
            date = m_minDate;
        }
        m_currentDate = *date;
        return *date;
    }
    return {};
}

void TypedInput::setValue(const QVariant& value)
{
    if (isText()) {
        putText(value.toString());
        return;
    }
    if (isNumber()) {
        const auto number = parseNumber(value.toString());
        if (number)
            putText(*number);
        return;
    }
    if (!isDate())
        return;
    std::optional<QDate> date;
    if (value.metaType().id() == QMetaType::QDate)
        date = value.toDate();
    else if (value.metaType().id() == QMetaType::QDateTime)
        date = value.toDateTime().date();
    else
        date = parseDate(value.toString());
    if (!date || !date->isValid())
        return;
    m_currentDate = *date;
    m_lastAccepted = *date;
    putText(formatDate(*date));
}

QString TypedInput::valueText()
{
    if (isText())
        return m_text;
    if (isNumber())
        return numberSql().value_or(QStringLiteral("0"));
    if (isDate()) {
        const QVariant v = value();
        return v.isValid() ? v.toDate().toString(kShortDatePattern) : QString();
    }
    return {};
}

void TypedInput::setValueText(const QString& text)
{
    setValue(text);
}

std::optional<QString> TypedInput::numberSql() const
{
    return parseNumber(m_text);
}

int TypedInput::week() const
{
    const QDate jan1(m_currentDate.year(), 1, 1);
    const int offset = jan1.dayOfWeek() % 7;  // Sunday 0
    return (m_currentDate.dayOfYear() - 1 + offset) / 7 + 1;
}

QString TypedInput::filterValue() const
{
    return m_currentDate.toString(QStringLiteral("MM/dd/yyyy"));
}

bool TypedInput::setMinDate(const QDate& date)
{
    if (!date.isValid() || date < QDate(1899, 1, 1) || date > m_maxDate)
        return false;
    if (date != m_minDate) {
        m_minDate = date;
        Q_EMIT boundsChanged();
    }
    return true;
}

bool TypedInput::setMaxDate(const QDate& date)
{
    if (!date.isValid() || date < m_minDate)
        return false;
    if (date != m_maxDate) {
        m_maxDate = date;
        Q_EMIT boundsChanged();
    }
    return true;
}

void TypedInput::setFormatString(const QString& format)
{
    if (format != m_formatString) {
        m_formatString = format;
        Q_EMIT formatStringChanged(format);
    }
    if (isDate()) {
        const QVariant v = value();
        if (v.isValid())
            setValue(v);
    }
}

QString TypedInput::formatDate(const QDate& date) const
{
    const QString f = m_formatString.trimmed();
    if (f.isEmpty() || f.compare(kShortDate, Qt::CaseInsensitive) == 0)
        return date.toString(kShortDatePattern);
    // Date patterns write the month as "m"; Qt wants "M".
    QString qt = f;
    for (QChar& c : qt) {
        if (c == u'm')
            c = u'M';
    }
    return date.toString(qt);
}

void TypedInput::setEnterBehaviour(int behaviour)
{
    if (behaviour != Standard && behaviour != MoveNextField)
        return;
    if (behaviour == m_enterBehaviour)
        return;
    m_enterBehaviour = behaviour;
    Q_EMIT enterBehaviourChanged(behaviour);
}

void TypedInput::setTodayProvider(TodayProvider provider)
{
    m_today = std::move(provider);
    if (!m_lastAccepted.isValid())
        m_currentDate = today();
}

QDate TypedInput::today() const
{
    return m_today ? m_today() : QDate::currentDate();
}

bool TypedInput::canLeave() const
{
    if (isNumber()) {
        QString compact = m_text;
        compact.remove(u' ');
        return parseNumber(compact).has_value();
    }
    if (isDate()) {
        const auto date = parseDate(m_text);
        return date && *date >= m_minDate && *date <= m_maxDate;
    }
    return true;
}

bool TypedInput::leave()
{
    if (!canLeave())
        return false;
    if (isDate())
        setValue(*parseDate(m_text));
    return true;
}

bool TypedInput::acceptsCharacter(QChar c, bool selectedAll) const
{
    if (!isNumber())
        return true;
    const char16_t u = c.unicode();
    if (u == 22 || (u == 3 && selectedAll))
        return true;
    if ((u >= u'0' && u <= u'9') || u == 8)
        return true;
    // One decimal separator, as users of decimal fields expect.
    if (u == u',' || u == u'.')
        return selectedAll || !(m_text.contains(u',') || m_text.contains(u'.'));
    return false;
}

void TypedInput::escape()
{
    if (isText())
        putText(QString());
    else if (isNumber())
        putText(QStringLiteral("0"));
    else if (isDate() && m_lastAccepted.isValid())
        putText(m_lastAccepted.toDate().toString(kShortDatePattern));
}

void TypedInput::typeToday()
{
    if (isDate())
        putText(formatDate(today()));
}

QString TypedInput::normaliseDateText(const QString& text)
{
    bool separated = false;
    for (QChar c : text) {
        if (isSeparator(c)) {
            separated = true;
            break;
        }
    }
    if (separated) {
        QString spaced = text;
        for (QChar& c : spaced) {
            if (isSeparator(c))
                c = u' ';
        }
        if (const auto date = systemDate(spaced))
            return date->toString(QStringLiteral("yyyy MM dd"));
        return text;
    }
    const QString trimmed = text.trimmed();
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!digits.match(trimmed).hasMatch() || trimmed.size() < 5)
        return text;
    // "# ## ##": the last four digits are month and day.
    const qsizetype n = trimmed.size();
    return trimmed.left(n - 4) + u' ' + trimmed.mid(n - 4, 2) + u' ' + trimmed.right(2);
}

std::optional<QDate> TypedInput::parseDate(const QString& text)
{
    return systemDate(normaliseDateText(text));
}

std::optional<QString> TypedInput::parseNumber(const QString& text)
{
    QString t;
    for (QChar c : text) {
        if (!c.isSpace())
            t.append(c);
    }
    if (t.isEmpty())
        return std::nullopt;
    QString sign;
    qsizetype i = 0;
    if (t[0] == u'-' || t[0] == u'+') {
        if (t[0] == u'-')
            sign = QStringLiteral("-");
        i = 1;
    }
    QString whole, fraction;
    bool separator = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            (separator ? fraction : whole).append(c);
        } else if ((c == u',' || c == u'.') && !separator) {
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    // Beyond 28 digits no decimal column holds the number exactly.
    if (whole.size() + fraction.size() > 28)
        return std::nullopt;
    QString result = whole;
    if (!fraction.isEmpty())
        result += u'.' + fraction;
    if (result == u"0")
        return result;
    return sign + result;
}

}  // namespace lg::filters
