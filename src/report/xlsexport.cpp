#include "report/xlsexport.h"

#include "platform/strings.h"

#include "platform/dao/dao.h"
#include "platform/errorhandler.h"
#include "platform/runtimeerror.h"
#include "store/errors.h"

#include "platform/safefile.h"

#include <algorithm>

namespace lg {

using namespace Qt::StringLiterals;

namespace {

const QString kSource = u"vlqTabula2.cXLSExport"_s;

}  // namespace

cXLSExport::cXLSExport() = default;
cXLSExport::~cXLSExport() = default;

void cXLSExport::setRowReader(RowReader reader, int columnCount, QList<CellKind> kinds)
{
    m_reader = std::move(reader);
    m_readerColumns = columnCount;
    m_readerKinds = std::move(kinds);
}

QString cXLSExport::ColumnLetters(long column) { return xlsx::columnLetters(column); }

QString cXLSExport::ExcelCells(long row, long column)
{
    return traced(kSource, TraceKind::Function, u"ExcelCells"_s, [&] {
        const QString letters = ColumnLetters(column);
        if (letters.isEmpty())
            return QString();
        return QString(letters + QString::number(row));
    });
}

QList<int> cXLSExport::ExportedFields(const dao::Recordset& rs)
{
    QList<int> fields;
    for (int i = 0; i < rs.FieldCount(); ++i)
        if (!rs.FieldName(i).startsWith(u"RGF"_s, Qt::CaseInsensitive))
            fields << i;
    return fields;
}

cXLSExport::CellKind cXLSExport::CellKindOf(dao::FieldType type)
{
    return xlsx::cellKindOf(type);
}

bool cXLSExport::fail(const QString& reason)
{
    m_lastError = reason;
    AddError(0, reason);
    return false;
}

bool cXLSExport::ExportExecute()
{
    m_lastError.clear();
    m_rowsWritten = 0;
    try {
        return exportOnce();
    } catch (...) {
        // The reason stays readable after the error has gone up.
        m_lastError = currentRuntimeError(kSource).description();
        rethrowTraced(kSource, TraceKind::Function, u"ExportExecute"_s);
    }
}

bool cXLSExport::exportOnce()
{
    const QString target = m_fileName.trimmed();
    if (target.isEmpty())
        return fail(LoadResString(7224));
    if (!m_recordSource && !m_reader)
        return fail(LoadResString(7225));

    // Columns and how their values are written.
    QList<CellKind> kinds;
    RowReader next;
    if (m_recordSource) {
        auto rs = m_recordSource;
        const QList<int> fields = ExportedFields(*rs);
        for (int i : fields)
            kinds << CellKindOf(rs->FieldTypeOf(i));
        auto first = std::make_shared<bool>(true);
        next = [rs, first, fields](QList<QVariant>& r) {
            return traced(kSource, TraceKind::Sub, u"ExportRows"_s, [&] {
                if (!*first)
                    rs->MoveNext();
                else if (rs->Bof() && !rs->Eof())
                    rs->MoveFirst();
                *first = false;
                if (rs->Eof())
                    return false;
                r.resize(fields.size());
                for (qsizetype k = 0; k < fields.size(); ++k)
                    r[k] = rs->Fields(fields[k]);
                return true;
            });
        };
    } else {
        kinds = m_readerKinds;
        while (kinds.size() < m_readerColumns)
            kinds << CellKind::Auto;
        kinds.resize(m_readerColumns);
        next = m_reader;
    }
    const QStringList captions = m_fieldHeader.isEmpty() ? QStringList() : m_fieldHeader.split(u',');
    QList<xlsx::Column> columns;
    for (qsizetype k = 0; k < std::max(kinds.size(), captions.size()); ++k)
        columns.append({captions.value(k), kinds.value(k, CellKind::Auto)});
    if (columns.size() > kMaxSheetColumns)
        return fail(LoadResString(7220).arg(columns.size()).arg(kMaxSheetColumns));

    // The workbook goes to a temporary file next to the target and replaces
    // the target only when it is complete.
    SafeFile file(target);
    for (const QString& path : m_refused)
        file.refuse(path);
    if (!file.begin())
        return fail(LoadResString(7226).arg(target, file.errorString()));

    xlsx::SheetWriter writer;
    xlsx::SheetWriter::Options options;
    options.rowsPerSheet = m_rowsPerSheet;
    QString error;
    if (!writer.open(file.tempPath(), columns, options, error))
        return fail(u"%1 (%2)"_s.arg(error, target));
    QList<QVariant> row;
    while (next(row))
        writer.writeRow(row);
    if (!writer.close(error))
        return fail(u"%1 (%2)"_s.arg(error, target));
    if (!file.commit())
        return fail(LoadResString(7227).arg(target, file.errorString()));
    m_rowsWritten = writer.rowsWritten();
    return true;
}

bool ExportWithErrorDialog(cXLSExport& exporter)
{
    bool ok = false;
    const bool finished = runUserFacing(kSource, u"ExportExecute"_s, [&] { ok = exporter.ExportExecute(); });
    return finished && ok;
}

}  // namespace lg
