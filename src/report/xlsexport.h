#pragma once

// Export of a list's rows into a new Excel workbook (.xlsx): the captions in
// row 1, one row per record from row 2, typed cells (numbers, dates, text,
// Yes/No), columns sized to their content. Rows are streamed: memory does not
// grow with the number of rows. A sheet that is full continues on a further
// sheet that repeats the caption row.

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

#include <functional>
#include <memory>

namespace lg {

namespace dao {
class Recordset;
}

class cXLSExport {
public:
    // How a column's values are written; Auto follows each value's type.
    enum class CellKind { Auto, Number, Text, Date, Boolean };
    // Fills `row` with the next row; false after the last one.
    using RowReader = std::function<bool(QList<QVariant>& row)>;

    static constexpr long kMaxSheetRows = 1048576;
    static constexpr long kMaxSheetColumns = 16384;

    cXLSExport();
    ~cXLSExport();

    const QString& FileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }

    std::shared_ptr<dao::Recordset> RecordSource() const { return m_recordSource; }
    void setRecordSource(std::shared_ptr<dao::Recordset> recordSource) { m_recordSource = std::move(recordSource); }

    // The column captions, separated by commas.
    void setFieldHeader(const QString& captions) { m_fieldHeader = captions; }

    // Rows from elsewhere than a recordset (the report engine); used when no
    // RecordSource is set. `columnCount` columns per row.
    void setRowReader(RowReader reader, int columnCount, QList<CellKind> kinds = {});

    // Rows per worksheet, caption row included (tests use small sheets).
    void setRowsPerSheet(long rows) { m_rowsPerSheet = rows; }

    // Writes the workbook. False when it could not be written; the reason is
    // in the shared Errors collection and in LastError(). An existing file of
    // the same name is replaced only by a complete workbook.
    bool ExportExecute();
    const QString& LastError() const { return m_lastError; }

    // The A1-style address of a cell: ExcelCells(2, 27) is "AA2". Columns
    // 1 to 16384 (A to XFD); any other column gives an empty string.
    static QString ExcelCells(long row, long column);
    static QString ColumnLetters(long column);

private:
    bool exportOnce();
    bool fail(const QString& reason);

    QString m_fileName;
    std::shared_ptr<dao::Recordset> m_recordSource;
    QString m_fieldHeader;
    RowReader m_reader;
    int m_readerColumns = 0;
    QList<CellKind> m_readerKinds;
    long m_rowsPerSheet = kMaxSheetRows;
    QString m_lastError;
};

}  // namespace lg
