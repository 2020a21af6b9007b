#include "platform/xlsx/sheetwriter.h"
#include "platform/xlsx/workbookcheck.h"

#include "platform/strings.h"

#include "platform/dao/dao.h"

#include <QtCore/QDateTime>
#include <QtCore/QFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lg::xlsx {

using namespace Qt::StringLiterals;

namespace {

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

// Characters of the longest line.
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

}  // namespace

CellKind cellKindOf(jetsql::JetType type)
{
    switch (type) {
    case jetsql::JetType::YesNo:
        return CellKind::Boolean;
    case jetsql::JetType::Text:
    case jetsql::JetType::Memo:
        return CellKind::Text;
    case jetsql::JetType::DateTime:
        return CellKind::Date;
    case jetsql::JetType::Long:
    case jetsql::JetType::Integer:
    case jetsql::JetType::Double:
    case jetsql::JetType::Currency:
    case jetsql::JetType::Counter:
        return CellKind::Number;
    default:
        return CellKind::Auto;
    }
}

QString columnLetters(long column)
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

struct SheetWriter::State {
    lxw_workbook* book = nullptr;
    lxw_format* captionFormat = nullptr;
    lxw_format* textFormat = nullptr;
    lxw_format* dateFormat = nullptr;
    lxw_format* dateTimeFormat = nullptr;
    std::vector<lxw_worksheet*> sheets;
    std::vector<CellKind> kinds;
    std::vector<QByteArray> captions;
    std::vector<int> widths;
    long rowsPerSheet = kMaxSheetRows;
    lxw_worksheet* sheet = nullptr;
    lxw_row_t sheetRow = 1;
    long rows = 0;
    QByteArray utf8;

    ~State()
    {
        // An unfinished workbook is closed only to free it; the caller drops
        // the file.
        if (book)
            workbook_close(book);
    }

    lxw_format* format(bool bold, const char* numFormat)
    {
        lxw_format* f = workbook_add_format(book);
        format_set_font_name(f, "Tahoma");
        format_set_font_size(f, 8);
        if (bold)
            format_set_bold(f);
        if (numFormat)
            format_set_num_format(f, numFormat);
        return f;
    }

    void newSheet()
    {
        const QByteArray name = u"Munka%1"_s.arg(sheets.size() + 1).toUtf8();
        sheet = workbook_add_worksheet(book, name.constData());
        for (size_t k = 0; k < captions.size(); ++k)
            if (!captions[k].isEmpty())
                worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(k), captions[k].constData(), captionFormat);
        sheets.push_back(sheet);
        sheetRow = 1;
    }
};

SheetWriter::SheetWriter() = default;
SheetWriter::~SheetWriter() = default;

bool SheetWriter::open(const QString& path, const QList<Column>& columns, QString& error)
{
    return open(path, columns, Options{}, error);
}

bool SheetWriter::open(const QString& path, const QList<Column>& columns, const Options& options, QString& error)
{
    m.reset();
    if (columns.size() > kMaxSheetColumns) {
        error = LoadResString(7220).arg(columns.size()).arg(kMaxSheetColumns);
        return false;
    }
    auto s = std::make_unique<State>();
    lxw_workbook_options lxwOptions{};
    lxwOptions.constant_memory = options.constantMemory ? LXW_TRUE : LXW_FALSE;
    const QByteArray name = QFile::encodeName(path);
    s->book = workbook_new_opt(name.constData(), &lxwOptions);
    if (!s->book) {
        error = LoadResString(7221).arg(path);
        return false;
    }
    s->captionFormat = s->format(true, nullptr);
    s->textFormat = s->format(false, nullptr);
    s->dateFormat = s->format(false, "yyyy.mm.dd");
    s->dateTimeFormat = s->format(false, "yyyy.mm.dd hh:mm:ss");
    s->rowsPerSheet = std::clamp(options.rowsPerSheet, 2L, kMaxSheetRows);
    for (const Column& c : columns) {
        s->kinds.push_back(c.kind);
        s->captions.push_back(c.caption.left(kMaxCellText).toUtf8());
        s->widths.push_back(static_cast<int>(std::lround(textWidth(c.caption) * 1.15)));
    }
    s->newSheet();
    m = std::move(s);
    m_path = path;
    return true;
}

void SheetWriter::writeRow(const QList<QVariant>& row)
{
    Q_ASSERT(m);
    State& s = *m;
    if (s.sheetRow >= static_cast<lxw_row_t>(s.rowsPerSheet))
        s.newSheet();
    // Locals, so the calls into the writer do not make the compiler load
    // them again for every cell.
    lxw_worksheet* const ws = s.sheet;
    const lxw_row_t sheetRow = s.sheetRow;
    const CellKind* const kinds = s.kinds.data();
    int* const widths = s.widths.data();
    lxw_format* const textFormat = s.textFormat;
    const int n = std::min<int>(static_cast<int>(s.kinds.size()), static_cast<int>(row.size()));
    for (int c = 0; c < n; ++c) {
        const QVariant& v = row.at(c);
        if (isNullValue(v))
            continue;
        const CellKind kind = kinds[c];
        const auto col = static_cast<lxw_col_t>(c);
        const int type = v.typeId();
        int w = 0;
        if (kind == CellKind::Boolean && (dao::isNumericType(type) || type == QMetaType::Bool)) {
            const bool b = type == QMetaType::Bool ? v.toBool() : v.toDouble() != 0;
            worksheet_write_boolean(ws, sheetRow, col, b ? 1 : 0, textFormat);
            w = b ? 4 : 5;
        } else if (type == QMetaType::Bool) {
            worksheet_write_boolean(ws, sheetRow, col, v.toBool() ? 1 : 0, textFormat);
            w = 5;
        } else if (dao::isNumericType(type) && kind != CellKind::Text) {
            const double d = v.toDouble();
            worksheet_write_number(ws, sheetRow, col, d, textFormat);
            w = numberWidth(d);
        } else if ((type == QMetaType::QDateTime || type == QMetaType::QDate) && kind != CellKind::Text) {
            const QDateTime dt = type == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
            const QDate d = dt.date();
            const QTime t = dt.time();
            if (d.year() >= 1900 && d.year() <= 9999) {
                lxw_datetime x{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second() + t.msec() / 1000.0};
                const bool withTime = t != QTime(0, 0);
                worksheet_write_datetime(ws, sheetRow, col, &x, withTime ? s.dateTimeFormat : s.dateFormat);
                w = withTime ? 19 : 10;
            } else {
                s.utf8 = dt.toString(u"yyyy.MM.dd"_s).toUtf8();
                worksheet_write_string(ws, sheetRow, col, s.utf8.constData(), textFormat);
                w = 10;
            }
        } else {
            const QString text = v.toString();
            if (text.isEmpty())
                continue;
            s.utf8 = (text.size() > kMaxCellText ? text.left(kMaxCellText) : text).toUtf8();
            worksheet_write_string(ws, sheetRow, col, s.utf8.constData(), textFormat);
            w = textWidth(text);
        }
        if (w > widths[c])
            widths[c] = w;
    }
    ++s.sheetRow;
    ++s.rows;
}

bool SheetWriter::close(QString& error)
{
    if (!m) {
        error = LoadResString(7222);
        return false;
    }
    State& s = *m;
    // Tahoma 8 is narrower than the sheet's standard font: about 0.9 of a
    // standard character per character, plus room for the cell padding.
    for (lxw_worksheet* sheet : s.sheets)
        for (size_t c = 0; c < s.widths.size(); ++c)
            if (s.widths[c] > 0)
                worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                     std::min(255.0, s.widths[c] * 0.9 + 2.0), nullptr);
    const lxw_error err = workbook_close(s.book);
    s.book = nullptr;
    if (err != LXW_NO_ERROR) {
        error = LoadResString(7223).arg(QString::fromUtf8(lxw_strerror(err)));
        return false;
    }
    // A part cut short on the way through a temporary file is only seen in
    // the finished file.
    QString part;
    if (!workbookComplete(m_path, part)) {
        error = LoadResString(7228).arg(part);
        return false;
    }
    return true;
}

long SheetWriter::rowsWritten() const { return m ? m->rows : 0; }

int SheetWriter::sheetCount() const { return m ? static_cast<int>(m->sheets.size()) : 0; }

}  // namespace lg::xlsx
