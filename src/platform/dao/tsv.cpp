#include "tsv.h"

#include <QtCore/QDateTime>
#include <QtCore/QLocale>

#include <charconv>
#include <cmath>
#include <cstring>

#include "dao_internal.h"

namespace lg::dao {

namespace {

void appendEscaped(QByteArray& out, const char* text, qsizetype n)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = text[i];
        const char* escape = nullptr;
        switch (c) {
        case '\t':
            escape = "\\t";
            break;
        case '\n':
            escape = "\\n";
            break;
        case '\r':
            escape = "\\r";
            break;
        case '\\':
            escape = "\\\\";
            break;
        default:
            continue;
        }
        out.append(text + from, i - from);
        out.append(escape, 2);
        from = i + 1;
    }
    out.append(text + from, n - from);
}

void appendEscaped(QByteArray& out, const QByteArray& utf8)
{
    appendEscaped(out, utf8.constData(), utf8.size());
}

void appendInteger(QByteArray& out, qlonglong n)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, r.ptr - buf);
}

void appendDouble(QByteArray& out, double d)
{
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15) {
        appendInteger(out, qlonglong(d));
        return;
    }
    // Shortest round-trip form, always with "." as decimal point.
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    out.append(buf, r.ptr - buf);
}

void appendDate(QByteArray& out, const QDateTime& dt)
{
    const QTime t = dt.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        out += dt.date().toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
    else
        out += dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
}

// Whether `t` is well-formed UTF-8 (what QString::fromUtf8 decodes without replacements):
// no overlong forms, surrogates or code points past U+10FFFF.
bool isValidUtf8(const char* text, int n)
{
    const auto* t = reinterpret_cast<const unsigned char*>(text);
    int i = 0;
    while (i < n) {
        const unsigned char c = t[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more;
        unsigned min;
        unsigned cp;
        if ((c & 0xe0) == 0xc0) {
            more = 1, min = 0x80, cp = c & 0x1f;
        } else if ((c & 0xf0) == 0xe0) {
            more = 2, min = 0x800, cp = c & 0x0f;
        } else if ((c & 0xf8) == 0xf0) {
            more = 3, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= more)
            return false;
        for (int k = 1; k <= more; ++k) {
            if ((t[i + k] & 0xc0) != 0x80)
                return false;
            cp = (cp << 6) | (t[i + k] & 0x3f);
        }
        if (cp < min || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff))
            return false;
        i += more + 1;
    }
    return true;
}

// Stored date text ("YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS") in the TSV form:
// the date alone at midnight. False when the text is no valid date; then the
// caller writes it as a text. Straight from the text, so no time zone
// conversion can move the value.
bool appendCanonicalDate(QByteArray& out, const char* t, int n)
{
    if (n != 19 && n != 10)
        return false;
    static const char pattern[] = "9999-99-99 99:99:99";
    for (int i = 0; i < n; ++i) {
        const bool digit = t[i] >= '0' && t[i] <= '9';
        if (pattern[i] == '9' ? !digit : t[i] != pattern[i])
            return false;
    }
    auto num = [t](int at, int len) {
        int v = 0;
        for (int i = at; i < at + len; ++i)
            v = v * 10 + (t[i] - '0');
        return v;
    };
    if (!QDate(num(0, 4), num(5, 2), num(8, 2)).isValid())
        return false;
    if (n == 19) {
        if (num(11, 2) > 23 || num(14, 2) > 59 || num(17, 2) > 59)
            return false;
        if (std::memcmp(t + 11, "00:00:00", 8) == 0)
            n = 10;
    }
    out.append(t, n);
    return true;
}

}  // namespace

bool appendTsvPlainText(QByteArray& out, const char* text, int n)
{
    if (!isValidUtf8(text, n) || (n >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0))
        return false;
    appendEscaped(out, text, n);
    return true;
}

bool appendTsvDateText(QByteArray& out, const char* text, int n)
{
    return appendCanonicalDate(out, text, n);
}

void appendTsvDouble(QByteArray& out, double d)
{
    appendDouble(out, d);
}

void appendTsvColumn(QByteArray& out, sqlite3_stmt* stmt, int col, FieldType type)
{
    sqlite3_value* v = sqlite3_column_value(stmt, col);
    const int storage = sqlite3_value_type(v);
    switch (storage) {
    case SQLITE_NULL:
        return;
    case SQLITE_INTEGER:
        switch (type) {
        case FieldType::Long:
        case FieldType::Integer:
        case FieldType::Counter:
        case FieldType::Unknown:
            appendInteger(out, sqlite3_value_int64(v));
            return;
        default:
            break;
        }
        break;
    case SQLITE_FLOAT:
        switch (type) {
        case FieldType::Double:
        case FieldType::Currency:
        case FieldType::Unknown:
            appendDouble(out, sqlite3_value_double(v));
            return;
        default:
            break;
        }
        break;
    case SQLITE_TEXT: {
        const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
        const int n = sqlite3_value_bytes(v);
        // Bad UTF-8 and a leading byte order mark are written as the
        // decoded text writes them.
        if (!isValidUtf8(t, n) || (n >= 3 && std::memcmp(t, "\xEF\xBB\xBF", 3) == 0))
            break;
        switch (type) {
        case FieldType::Text:
        case FieldType::Memo:
            appendEscaped(out, t, n);
            return;
        case FieldType::DateTime:
            if (!appendCanonicalDate(out, t, n))
                appendEscaped(out, t, n);
            return;
        case FieldType::Unknown:
            // Only the full form reads as a date in a computed column.
            if (n != 19 || !appendCanonicalDate(out, t, n))
                appendEscaped(out, t, n);
            return;
        default:
            break;
        }
        break;
    }
    default:
        break;
    }
    appendTsvValue(out, readColumn(stmt, col, type), type);
}

void appendTsvValue(QByteArray& out, const Value& value, FieldType type)
{
    if (isNull(value))
        return;
    switch (value.typeId()) {
    case QMetaType::Bool:
        out += value.toBool() ? "-1" : "0";
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        if (type == FieldType::YesNo)
            out += value.toLongLong() != 0 ? "-1" : "0";
        else
            appendInteger(out, value.toLongLong());
        return;
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        out += QByteArray::number(value.toULongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        if (type == FieldType::YesNo)
            out += value.toDouble() != 0.0 ? "-1" : "0";
        else
            appendDouble(out, value.toDouble());
        return;
    case QMetaType::QDateTime:
        appendDate(out, value.toDateTime());
        return;
    case QMetaType::QDate:
        appendDate(out, QDateTime(value.toDate(), QTime(0, 0)));
        return;
    case QMetaType::QString:
        appendEscaped(out, value.toString().toUtf8());
        return;
    case QMetaType::QByteArray:
        appendEscaped(out, value.toByteArray());
        return;
    default:
        appendEscaped(out, value.toString().toUtf8());
        return;
    }
}

QString formatTsvValue(const Value& value, FieldType type)
{
    QByteArray out;
    appendTsvValue(out, value, type);
    return QString::fromUtf8(out);
}

void TsvWriter::writeHeader(const Recordset& rs)
{
    const int n = rs.FieldCount();
    for (int i = 0; i < n; ++i) {
        if (i)
            m_buffer += '\t';
        appendEscaped(m_buffer, rs.FieldName(i).toUtf8());
    }
    endLine();
}

void Recordset::appendTsvRow(QByteArray& out) const
{
    if (sqlite3_stmt* s = d->row.stmt) {
        for (int i = 0; i < d->row.columns; ++i) {
            if (i)
                out += '\t';
            appendTsvColumn(out, s, i, d->row.types[i]);
        }
    } else if (d->appendTsvRow(out)) {
    } else {
        const int n = FieldCount();
        for (int i = 0; i < n; ++i) {
            if (i)
                out += '\t';
            appendTsvValue(out, Fields(i), FieldTypeOf(i));
        }
    }
    out += '\n';
}

void TsvWriter::writeRow(const Recordset& rs)
{
    rs.appendTsvRow(m_buffer);
    if (m_buffer.size() >= kChunk)
        flush();
}

void TsvWriter::writeAll(Recordset& rs)
{
    while (!rs.Eof()) {
        writeRow(rs);
        rs.MoveNext();
    }
}

void TsvWriter::endLine()
{
    m_buffer += '\n';
    if (m_buffer.size() >= kChunk)
        flush();
}

void TsvWriter::flush()
{
    if (!m_buffer.isEmpty()) {
        std::fwrite(m_buffer.constData(), 1, size_t(m_buffer.size()), m_out);
        m_buffer.truncate(0);
    }
    std::fflush(m_out);
}

}  // namespace lg::dao
