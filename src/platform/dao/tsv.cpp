#include "tsv.h"

#include <QtCore/QDateTime>
#include <QtCore/QLocale>

#include <charconv>
#include <cmath>

#include "dao_internal.h"

namespace lg::dao {

namespace {

void appendEscaped(QByteArray& out, const QByteArray& utf8)
{
    for (const char c : utf8) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
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

}  // namespace

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

void TsvWriter::writeRow(const Recordset& rs)
{
    const int n = rs.FieldCount();
    for (int i = 0; i < n; ++i) {
        if (i)
            m_buffer += '\t';
        appendTsvValue(m_buffer, rs.Fields(i), rs.FieldTypeOf(i));
    }
    endLine();
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
