#pragma once

// Rows as tab-separated text, one line per row: the form in which the
// command-line tool prints query results.
//
//   Null                  nothing
//   text                  as is, with tab, newline, carriage return and
//                         backslash written as \t, \n, \r and \\ .
//   whole numbers         as integers; Yes/No as -1 and 0
//   other numbers         the shortest form that reads back the same, "." as
//                         decimal point
//   dates                 "YYYY-MM-DD" at midnight, "YYYY-MM-DD HH:MM:SS" otherwise

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <cstdio>

#include "platform/dao/dao.h"

namespace lg::dao {

QString formatTsvValue(const Value& value, FieldType type = FieldType::Unknown);
// The same, appended as UTF-8.
void appendTsvValue(QByteArray& out, const Value& value, FieldType type = FieldType::Unknown);

// Writes rows to a stdio stream through a large buffer.
class TsvWriter {
public:
    explicit TsvWriter(std::FILE* out) : m_out(out) { m_buffer.reserve(kChunk + 4096); }
    ~TsvWriter() { flush(); }
    TsvWriter(const TsvWriter&) = delete;
    TsvWriter& operator=(const TsvWriter&) = delete;

    // The header line of a recordset's field names.
    void writeHeader(const Recordset& rs);
    // The current row of a recordset.
    void writeRow(const Recordset& rs);
    // Every row from the current one on.
    void writeAll(Recordset& rs);

    void flush();

private:
    static constexpr qsizetype kChunk = 1 << 16;
    void endLine();
    std::FILE* m_out;
    QByteArray m_buffer;
};

}  // namespace lg::dao
