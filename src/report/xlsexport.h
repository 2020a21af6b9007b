#pragma once

// Export of a list's rows into a new Excel workbook (.xlsx): the captions in
// row 1, one row per record from row 2, typed cells (numbers, dates, text,
// Yes/No), columns sized to their content. Rows are streamed: memory does not
// grow with the number of rows. A sheet that is full continues on a further
// sheet that repeats the caption row. The cells themselves are written by
// lg::xlsx::SheetWriter; this class decides which columns of a list go out
// and replaces the target file only with a complete workbook.
//
// The export is headless: it reports and never asks. A business failure (no
// file name, a target that cannot be replaced) is added to the shared Errors
// collection and ExportExecute returns false; a run-time error while reading
// the rows leaves it as an lg::RuntimeError with its trace line. Only the
// user-facing caller shows the error dialog (ExportWithErrorDialog).

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

#include "platform/jetsql/jettypes.h"
#include "platform/xlsx/sheetwriter.h"

#include <functional>
#include <memory>

namespace lg {

namespace dao {
class Recordset;
using FieldType = jetsql::JetType;
}  // namespace dao

class cXLSExport {
public:
    // How a column's values are written; Auto follows each value's type.
    using CellKind = xlsx::CellKind;
    // Fills `row` with the next row; false after the last one.
    using RowReader = std::function<bool(QList<QVariant>& row)>;

    static constexpr long kMaxSheetRows = xlsx::kMaxSheetRows;
    static constexpr long kMaxSheetColumns = xlsx::kMaxSheetColumns;

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

    // A file the export must never replace (the database being read, a
    // report source in use); any spelling of the same file is refused.
    void refusePath(const QString& path) { m_refused << path; }

    // Writes the workbook. False when it could not be written; the reason is
    // in the shared Errors collection and in LastError(). An existing file of
    // the same name is replaced only by a complete workbook. A run-time
    // error while reading the rows is thrown (LastError has its text too).
    bool ExportExecute();
    const QString& LastError() const { return m_lastError; }
    // Data rows written by the last ExportExecute.
    long RowsWritten() const { return m_rowsWritten; }

    // The columns of a list's recordset that are exported, in order: all but
    // the alternative group columns (RGF<id>), which only order and group
    // the report and have no caption of their own.
    static QList<int> ExportedFields(const dao::Recordset& rs);
    // How a column of a database type is written (xlsx::cellKindOf).
    static CellKind CellKindOf(dao::FieldType type);

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
    QStringList m_refused;
    QString m_lastError;
    long m_rowsWritten = 0;
};

// For the user-facing caller (the list controls): runs the export and hands
// a run-time error to the error dialog, which may run it again. False when
// the export failed or the user gave up; collected errors stay collected for
// the caller's ShowErrors.
bool ExportWithErrorDialog(cXLSExport& exporter);

}  // namespace lg
