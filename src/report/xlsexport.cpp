#include "report/xlsexport.h"

#include "platform/dao/dao.h"
#include "platform/errorhandler.h"
#include "platform/runtimeerror.h"
#include "store/errors.h"

#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRandomGenerator>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lg {

using namespace Qt::StringLiterals;

namespace {

const QString kSource = u"vlqTabula2.cXLSExport"_s;
constexpr int kMaxCellText = 32767;  // longest text a cell holds

bool isNullValue(const QVariant& v) { return !v.isValid() || v.isNull(); }


// Characters a number takes in the General format (at most 11).
int numberWidth(double v)
{
    if (!std::isfinite(v))
        return 6;
    const double a = std::fabs(v);
    int digits = a < 1 ? 1 : static_cast<int>(std::floor(std::log10(a))) + 1;
    int w = digits + (v < 0 ? 1 : 0);
    if (a != std::floor(a))
        w += 4;
    return std::min(w, 11);
}

int textWidth(const QString& s)
{
    int best = 0, run = 0;
    for (const QChar c : s) {
        if (c == u'\n') {
            best = std::max(best, run);
            run = 0;
        } else {
            ++run;
        }
    }
    return std::max(best, run);
}

// The workbook being written; frees itself whatever happens.
struct Workbook {
    lxw_workbook* wb = nullptr;
    ~Workbook()
    {
        if (wb)
            workbook_close(wb);
    }
    lxw_error close()
    {
        lxw_error e = workbook_close(wb);
        wb = nullptr;
        return e;
    }
};

}  // namespace

cXLSExport::cXLSExport() = default;
cXLSExport::~cXLSExport() = default;

void cXLSExport::setRowReader(RowReader reader, int columnCount, QList<CellKind> kinds)
{
    m_reader = std::move(reader);
    m_readerColumns = columnCount;
    m_readerKinds = std::move(kinds);
}

QString cXLSExport::ColumnLetters(long column)
{
    if (column < 1 || column > kMaxSheetColumns)
        return {};
    QString letters;
    while (column > 0) {
        const long rem = (column - 1) % 26;
        letters.prepend(QChar(u'A' + static_cast<char16_t>(rem)));
        column = (column - 1) / 26;
    }
    return letters;
}

QString cXLSExport::ExcelCells(long row, long column)
{
    return traced(kSource, TraceKind::Function, u"ExcelCells"_s, [&] {
        const QString letters = ColumnLetters(column);
        if (letters.isEmpty())
            return QString();
        return QString(letters + QString::number(row));
    });
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
    for (;;) {
        RuntimeError error;
        try {
            return exportOnce();
        } catch (...) {
            error = currentRuntimeError(kSource);
        }
        m_lastError = error.description();
        // Retrying runs the whole export again; any other answer leaves the
        // export undone, which is reported as such.
        if (handleUserFacingError(error, kSource, u"ExportExecute"_s) != ErrorOutcome::Retry)
            return false;
    }
}

bool cXLSExport::exportOnce()
{
    const QString target = m_fileName.trimmed();
    if (target.isEmpty())
        return fail(u"Nincs megadva az exportálás fájlneve."_s);
    if (!m_recordSource && !m_reader)
        return fail(u"Nincs megadva az exportálandó adatforrás."_s);
    const QFileInfo targetInfo(target);
    if (!targetInfo.absoluteDir().exists())
        return fail(u"Az exportálás fájlja nem írható: a könyvtár nem létezik (%1)"_s.arg(target));
    if (targetInfo.isDir())
        return fail(u"Az exportálás fájlja nem írható: ez egy könyvtár (%1)"_s.arg(target));

    // Columns and how their values are written.
    int columns = 0;
    QList<CellKind> kinds;
    QList<QVariant> row;
    RowReader next;
    if (m_recordSource) {
        auto rs = m_recordSource;
        columns = rs->FieldCount();
        for (int i = 0; i < columns; ++i)
            kinds << (rs->FieldTypeOf(i) == dao::FieldType::YesNo ? CellKind::Boolean : CellKind::Auto);
        auto first = std::make_shared<bool>(true);
        next = [rs, first, columns](QList<QVariant>& r) {
            return traced(kSource, TraceKind::Sub, u"ExportRows"_s, [&] {
                if (!*first)
                    rs->MoveNext();
                else if (rs->Bof() && !rs->Eof())
                    rs->MoveFirst();
                *first = false;
                if (rs->Eof())
                    return false;
                r.resize(columns);
                for (int i = 0; i < columns; ++i)
                    r[i] = rs->Fields(i);
                return true;
            });
        };
    } else {
        columns = m_readerColumns;
        kinds = m_readerKinds;
        next = m_reader;
    }
    while (kinds.size() < columns)
        kinds << CellKind::Auto;
    const QStringList captions = m_fieldHeader.isEmpty() ? QStringList() : m_fieldHeader.split(u',');
    const int width = std::max<int>(columns, static_cast<int>(captions.size()));
    if (width > kMaxSheetColumns)
        return fail(u"Túl sok oszlop az exportáláshoz: %1 (legfeljebb %2)"_s.arg(width).arg(kMaxSheetColumns));
    const long rowsPerSheet = std::clamp(m_rowsPerSheet, 2L, kMaxSheetRows);

    // The workbook goes to a temporary file next to the target and replaces
    // the target only when it is complete.
    const QString temp = targetInfo.absoluteDir().filePath(
        u".%1.%2.tmp"_s.arg(targetInfo.fileName()).arg(static_cast<qulonglong>(QRandomGenerator::global()->generate()), 8, 16, QChar(u'0')));
    const QByteArray tempName = QFile::encodeName(temp);
    struct TempGuard {
        QString path;
        bool keep = false;
        ~TempGuard()
        {
            if (!keep)
                QFile::remove(path);
        }
    } guard{temp};

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    Workbook book;
    book.wb = workbook_new_opt(tempName.constData(), &options);
    if (!book.wb)
        return fail(u"Az Excel munkafüzet nem hozható létre (%1)"_s.arg(target));

    auto makeFormat = [&](bool bold, const char* numFormat) {
        lxw_format* f = workbook_add_format(book.wb);
        format_set_font_name(f, "Tahoma");
        format_set_font_size(f, 8);
        if (bold)
            format_set_bold(f);
        if (numFormat)
            format_set_num_format(f, numFormat);
        return f;
    };
    lxw_format* captionFormat = makeFormat(true, nullptr);
    lxw_format* textFormat = makeFormat(false, nullptr);
    lxw_format* dateFormat = makeFormat(false, "yyyy.mm.dd");
    lxw_format* dateTimeFormat = makeFormat(false, "yyyy.mm.dd hh:mm:ss");

    std::vector<lxw_worksheet*> sheets;
    std::vector<int> widths(static_cast<size_t>(width), 0);
    std::vector<QByteArray> captionBytes;
    for (int k = 0; k < captions.size(); ++k) {
        captionBytes.push_back(captions[k].left(kMaxCellText).toUtf8());
        widths[k] = static_cast<int>(std::lround(textWidth(captions[k]) * 1.15));
    }
    auto newSheet = [&] {
        const QByteArray name = u"Munka%1"_s.arg(sheets.size() + 1).toUtf8();
        lxw_worksheet* ws = workbook_add_worksheet(book.wb, name.constData());
        for (int k = 0; k < static_cast<int>(captionBytes.size()); ++k)
            worksheet_write_string(ws, 0, static_cast<lxw_col_t>(k), captionBytes[k].constData(), captionFormat);
        sheets.push_back(ws);
        return ws;
    };

    lxw_worksheet* ws = newSheet();
    lxw_row_t sheetRow = 1;
    QByteArray utf8;
    while (next(row)) {
        if (sheetRow >= static_cast<lxw_row_t>(rowsPerSheet)) {
            ws = newSheet();
            sheetRow = 1;
        }
        const int n = std::min<int>(columns, static_cast<int>(row.size()));
        for (int c = 0; c < n; ++c) {
            const QVariant& v = row.at(c);
            if (isNullValue(v))
                continue;
            const auto col = static_cast<lxw_col_t>(c);
            const int type = v.typeId();
            int w = 0;
            if (kinds[c] == CellKind::Boolean && (dao::isNumericType(type) || type == QMetaType::Bool)) {
                const bool b = type == QMetaType::Bool ? v.toBool() : v.toDouble() != 0;
                worksheet_write_boolean(ws, sheetRow, col, b ? 1 : 0, textFormat);
                w = b ? 4 : 5;
            } else if (type == QMetaType::Bool) {
                worksheet_write_boolean(ws, sheetRow, col, v.toBool() ? 1 : 0, textFormat);
                w = 5;
            } else if (dao::isNumericType(type) && kinds[c] != CellKind::Text) {
                const double d = v.toDouble();
                worksheet_write_number(ws, sheetRow, col, d, textFormat);
                w = numberWidth(d);
            } else if ((type == QMetaType::QDateTime || type == QMetaType::QDate) && kinds[c] != CellKind::Text) {
                const QDateTime dt = type == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
                const QDate d = dt.date();
                const QTime t = dt.time();
                if (d.year() >= 1900 && d.year() <= 9999) {
                    lxw_datetime x{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second() + t.msec() / 1000.0};
                    const bool withTime = t != QTime(0, 0);
                    worksheet_write_datetime(ws, sheetRow, col, &x, withTime ? dateTimeFormat : dateFormat);
                    w = withTime ? 19 : 10;
                } else {
                    // Excel counts days from 1900; older dates stay readable as text.
                    utf8 = dt.toString(u"yyyy.MM.dd"_s).toUtf8();
                    worksheet_write_string(ws, sheetRow, col, utf8.constData(), textFormat);
                    w = 10;
                }
            } else {
                const QString s = v.toString();
                if (s.isEmpty())
                    continue;
                utf8 = (s.size() > kMaxCellText ? s.left(kMaxCellText) : s).toUtf8();
                worksheet_write_string(ws, sheetRow, col, utf8.constData(), textFormat);
                w = textWidth(s);
            }
            if (w > widths[c])
                widths[c] = w;
        }
        ++sheetRow;
    }

    // Tahoma 8 is narrower than the sheet's standard font: about 0.9 of a
    // standard character per character, plus room for the cell padding.
    for (lxw_worksheet* sheet : sheets)
        for (int c = 0; c < width; ++c)
            if (widths[c] > 0)
                worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                     std::min(255.0, widths[c] * 0.9 + 2.0), nullptr);

    const lxw_error err = book.close();
    if (err != LXW_NO_ERROR)
        return fail(u"Az Excel munkafüzet nem írható ki (%1): %2"_s.arg(target, QString::fromUtf8(lxw_strerror(err))));
    // Replace the target; the old file is put back when that fails.
    const QString backup = temp + u".old"_s;
    const bool hadTarget = QFile::exists(target);
    if (hadTarget && !QFile::rename(target, backup))
        return fail(u"Az Excel munkafüzet nem írható ki (%1): a meglévő fájl nem cserélhető le"_s.arg(target));
    if (!QFile::rename(temp, target)) {
        if (hadTarget)
            QFile::rename(backup, target);
        return fail(u"Az Excel munkafüzet nem írható ki (%1): a fájl nem cserélhető le"_s.arg(target));
    }
    if (hadTarget)
        QFile::remove(backup);
    guard.keep = true;
    return true;
}

}  // namespace lg
