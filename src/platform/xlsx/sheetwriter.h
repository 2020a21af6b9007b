#pragma once

// The plain .xlsx writer under every Excel output of the library: the list
// export and the report engine's workbook. One caption row, then one row per
// record with typed cells, columns sized to their content, a further sheet
// (repeating the captions) when one is full. In constant-memory mode (the
// default) rows go to disk as they come, so memory does not grow with the
// number of rows.
//
// How a value becomes a cell is decided here and nowhere else:
//   - Null (or an invalid value): no cell;
//   - a Boolean column with a number or a truth value: TRUE / FALSE;
//   - a truth value anywhere: TRUE / FALSE;
//   - a number, unless the column is Text: a number;
//   - a date or date and time, unless the column is Text: a date cell
//     (yyyy.mm.dd, with hh:mm:ss when not midnight); dates before 1900 or
//     after 9999, which a sheet cannot hold, as the text yyyy.MM.dd;
//   - anything else: its text (never a formula), cut at 32767 characters.
//
// The writer writes to the path it is given; replacing a user's file safely
// is the caller's business (lg::SafeFile). `close` reads the finished file
// back (workbookcheck.h) and fails when a part of it was cut short.

#include "platform/jetsql/jettypes.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QVariant>

#include <memory>

namespace lg::xlsx {

// How a column's values are written; Auto follows each value's type.
enum class CellKind { Auto, Number, Text, Date, Boolean };

inline constexpr long kMaxSheetRows = 1048576;
inline constexpr long kMaxSheetColumns = 16384;
inline constexpr int kMaxCellText = 32767;

// How a column of a database type is written: Yes/No as TRUE / FALSE, texts
// as texts (a text of digits stays text), numbers and dates by their values;
// columns of no known type (expressions) by each value.
CellKind cellKindOf(jetsql::JetType type);

// The letters of column `column` (1 = A, 27 = AA, 16384 = XFD); empty
// outside 1..16384.
QString columnLetters(long column);

struct Column {
    QString caption;  // empty: no caption cell
    CellKind kind = CellKind::Auto;
};

class SheetWriter {
public:
    struct Options {
        long rowsPerSheet = kMaxSheetRows;  // caption row included; at least 2
        bool constantMemory = true;
    };

    SheetWriter();
    ~SheetWriter();
    SheetWriter(const SheetWriter&) = delete;
    SheetWriter& operator=(const SheetWriter&) = delete;

    // Starts the workbook at `path` and writes the caption row. False (with
    // the reason in `error`) for too many columns or a file that cannot be
    // created.
    bool open(const QString& path, const QList<Column>& columns, QString& error);
    bool open(const QString& path, const QList<Column>& columns, const Options& options, QString& error);

    // One record; values past the last column are ignored, missing ones are
    // empty cells.
    void writeRow(const QList<QVariant>& row);

    // Sets the column widths and finishes the file. False with the reason.
    bool close(QString& error);

    long rowsWritten() const;
    int sheetCount() const;

private:
    struct State;
    std::unique_ptr<State> m;
    QString m_path;
};

}  // namespace lg::xlsx
