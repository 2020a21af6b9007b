// listgen run: runs a saved list as the report run does and streams its rows,
// or renders it through the report engine (PDF, HTML) or the Excel export.

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

#include <unistd.h>

#include "catalogue/fieldcatalogue.h"
#include "catalogue/permissions.h"
#include "command.h"
#include "platform/dao/dao.h"
#include "platform/dao/tsv.h"
#include "reportengine/objectfactory.h"
#include "reportengine/reportengine.h"
#include "platform/runtimeerror.h"
#include "platform/safefile.h"
#include "report/runstatement.h"
#include "report/xlsexport.h"
#include "store/context.h"

using namespace Qt::StringLiterals;

namespace lg::cli {

namespace {

using dao::FieldType;
using dao::Value;

// Buffered UTF-8 output to a FILE.
class Output {
public:
    explicit Output(std::FILE* f) : m_file(f) { m_buffer.reserve(kChunk + 4096); }
    ~Output() { flush(); }
    void write(const QString& text)
    {
        m_buffer += text.toUtf8();
        if (m_buffer.size() >= kChunk)
            flush();
    }
    void write(const char* text)
    {
        m_buffer += text;
        if (m_buffer.size() >= kChunk)
            flush();
    }
    // For writers that append to the buffer themselves; call written() after.
    QByteArray& buffer() { return m_buffer; }
    void written()
    {
        if (m_buffer.size() >= kChunk)
            flush();
    }
    void flush()
    {
        if (!m_buffer.isEmpty() && std::fwrite(m_buffer.constData(), 1, size_t(m_buffer.size()), m_file)
                                       != size_t(m_buffer.size()))
            m_failed = true;
        m_buffer.clear();
    }
    bool failed() const { return m_failed || std::ferror(m_file); }

private:
    static constexpr qsizetype kChunk = 256 * 1024;
    std::FILE* m_file;
    QByteArray m_buffer;
    bool m_failed = false;
};

struct Column {
    QString name;
    FieldType type;
};

// One output format: gets the columns, then the rows one at a time.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void begin(const QList<Column>& columns) = 0;
    virtual void row(const QList<Value>& values) = 0;
    // The recordset's current row; `values` is scratch space of the column count.
    virtual void rowOf(const dao::Recordset& rs, QList<Value>& values)
    {
        for (int i = 0; i < int(values.size()); ++i)
            values[i] = rs.Fields(i);
        row(values);
    }
    virtual void end() = 0;
};

// A value as plain text: Null empty, Yes/No -1 / 0, numbers in the shortest
// form that reads back the same, dates as YYYY-MM-DD (with HH:MM:SS unless
// midnight).
QString plainText(const Value& v, FieldType type)
{
    if (dao::isNull(v))
        return QString();
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.date().toString(u"yyyy-MM-dd"_s)
                                        : dt.toString(u"yyyy-MM-dd HH:mm:ss"_s);
    }
    case QMetaType::QDate:
        return v.toDate().toString(u"yyyy-MM-dd"_s);
    case QMetaType::Bool:
        return v.toBool() ? u"-1"_s : u"0"_s;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (type != FieldType::Double && type != FieldType::Currency && std::isfinite(d) && d == std::floor(d)
            && std::fabs(d) < 9.0e15)
            return QString::number(qlonglong(d));
        return QString::number(d, 'g', QLocale::FloatingPointShortest);
    }
    default:
        return v.toString();
    }
}

class TsvSink : public RowSink {
public:
    explicit TsvSink(Output& out) : m_out(out) {}
    void begin(const QList<Column>& columns) override
    {
        m_columns = columns;
        QStringList names;
        for (const Column& c : columns)
            names << c.name;
        m_out.write(names.join(u'\t') + u'\n');
    }
    void row(const QList<Value>& values) override
    {
        QByteArray& b = m_out.buffer();
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i)
                b += '\t';
            dao::appendTsvValue(b, values.at(i), m_columns.at(i).type);
        }
        b += '\n';
        m_out.written();
    }
    // Straight from the database into the output buffer, in the same form.
    void rowOf(const dao::Recordset& rs, QList<Value>&) override
    {
        rs.appendTsvRow(m_out.buffer());
        m_out.written();
    }
    void end() override {}

private:
    Output& m_out;
    QList<Column> m_columns;
};

// RFC 4180: CR LF line ends, a header line, fields with a comma, a quote or
// a line break in double quotes with quotes doubled.
class CsvSink : public RowSink {
public:
    explicit CsvSink(Output& out) : m_out(out) {}
    static QString field(const QString& text)
    {
        if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
            return text;
        QString q = text;
        q.replace(u"\""_s, u"\"\""_s);
        return u"\""_s + q + u"\""_s;
    }
    void begin(const QList<Column>& columns) override
    {
        m_columns = columns;
        QString line;
        for (qsizetype i = 0; i < columns.size(); ++i)
            line += (i ? u","_s : QString()) + field(columns.at(i).name);
        m_out.write(line + u"\r\n"_s);
    }
    void row(const QList<Value>& values) override
    {
        QString line;
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i)
                line += u',';
            line += field(plainText(values.at(i), m_columns.at(i).type));
        }
        m_out.write(line + u"\r\n"_s);
    }
    void end() override {}

private:
    Output& m_out;
    QList<Column> m_columns;
};

// An array of objects keyed by the column names; Yes/No as true / false,
// numbers as numbers, dates and texts as strings, Null as null.
class JsonSink : public RowSink {
public:
    explicit JsonSink(Output& out) : m_out(out) {}
    static QString string(const QString& text)
    {
        QString s = u"\""_s;
        for (QChar c : text) {
            switch (c.unicode()) {
            case '"': s += u"\\\""_s; break;
            case '\\': s += u"\\\\"_s; break;
            case '\n': s += u"\\n"_s; break;
            case '\r': s += u"\\r"_s; break;
            case '\t': s += u"\\t"_s; break;
            default:
                if (c.unicode() < 0x20)
                    s += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
                else
                    s += c;
            }
        }
        return s + u'"';
    }
    QString value(const Value& v, FieldType type) const
    {
        if (dao::isNull(v))
            return u"null"_s;
        if (type == FieldType::YesNo || v.typeId() == QMetaType::Bool)
            return (v.typeId() == QMetaType::Bool ? v.toBool() : v.toLongLong() != 0) ? u"true"_s : u"false"_s;
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Long:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return v.toString();
        case QMetaType::Double:
        case QMetaType::Float:
            return std::isfinite(v.toDouble()) ? plainText(v, type) : u"null"_s;
        default:
            return string(plainText(v, type));
        }
    }
    void begin(const QList<Column>& columns) override
    {
        m_columns = columns;
        for (const Column& c : columns)
            m_keys << string(c.name) + u":"_s;
        m_out.write("[");
    }
    void row(const QList<Value>& values) override
    {
        QString line = m_rows++ ? u",\n{"_s : u"\n{"_s;
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i)
                line += u',';
            line += m_keys.at(i) + value(values.at(i), m_columns.at(i).type);
        }
        m_out.write(line + u'}');
    }
    void end() override { m_out.write(m_rows ? "\n]\n" : "]\n"); }

private:
    Output& m_out;
    QList<Column> m_columns;
    QStringList m_keys;
    long m_rows = 0;
};

// The streamed output formats; pdf, html and xlsx are rendered as a whole
// (see renderedFormats()).
struct Format {
    const char* name;
    std::function<std::unique_ptr<RowSink>(Output&)> make;
};
const std::vector<Format>& formats()
{
    static const std::vector<Format> all = {
        {"tsv", [](Output& o) { return std::make_unique<TsvSink>(o); }},
        {"csv", [](Output& o) { return std::make_unique<CsvSink>(o); }},
        {"json", [](Output& o) { return std::make_unique<JsonSink>(o); }},
    };
    return all;
}

const QStringList& renderedFormats()
{
    static const QStringList all = {u"pdf"_s, u"html"_s, u"xlsx"_s};
    return all;
}

struct ListRow {
    QString name;
    QString sqlSource;
    QString sqlDescription;
    QString reportFile;
};

bool loadList(dao::Database& db, long listId, ListRow& list)
{
    auto rs = db.OpenRecordset(QStringLiteral("SELECT name, sql_source, sql_description, report_file "
                                              "FROM vlq_list_report WHERE id=%1 AND del_status=0 AND temp_status=0")
                                   .arg(listId),
                               dao::RecordsetType::Snapshot, dao::dbReadOnly);
    if (rs->Eof())
        return false;
    list.name = rs->Fields(u"name"_s).toString();
    list.sqlSource = rs->Fields(u"sql_source"_s).toString();
    list.sqlDescription = dao::isNull(rs->Fields(u"sql_description"_s)) ? QString()
                                                                         : rs->Fields(u"sql_description"_s).toString();
    list.reportFile = dao::isNull(rs->Fields(u"report_file"_s)) ? QString() : rs->Fields(u"report_file"_s).toString();
    return true;
}

// The user may run the list when the list control would offer it to him:
// not denied to any of his groups, not another user's private list.
bool mayRun(long userId, long listId)
{
    std::shared_ptr<dao::Recordset> rs;
    if (!catalogue::GetListReportEnableShow(userId, -1, -1, 1, rs) || !rs)
        return false;
    for (; !rs->Eof(); rs->MoveNext())
        if (rs->Fields(u"id"_s).toLongLong() == listId)
            return true;
    return false;
}


// Refuses an output path that cannot take a file before any work is done.
bool checkWritable(const QString& path)
{
    const QFileInfo info(path);
    QString reason;
    if (info.isDir())
        reason = u"it is a folder"_s;
    else if (!info.absoluteDir().exists())
        reason = u"the folder %1 does not exist"_s.arg(QDir::toNativeSeparators(info.absolutePath()));
    else if (!QFileInfo(info.absolutePath()).isWritable())
        reason = u"the folder %1 is not writable"_s.arg(QDir::toNativeSeparators(info.absolutePath()));
    else if (info.exists() && !info.isWritable())
        reason = u"the file is read-only"_s;
    if (reason.isEmpty())
        return true;
    printErr(QStringLiteral("listgen run: cannot write %1: %2\n").arg(path, reason));
    return false;
}

// The report run: the engine gets the connection, the list's report file,
// the statement as its one data source and the list's name and condition
// description as string parameters, then renders the whole report.
int renderWithEngine(const QString& dbPath, const QString& reportsDir, long listId, const ListRow& list,
                     const QString& statement, const QString& format, const QString& outPath)
{
    const QString reportFile = QDir(reportsDir).filePath(list.reportFile.trimmed());
    if (list.reportFile.trimmed().isEmpty() || !QFileInfo(reportFile).isFile()) {
        printErr(QStringLiteral("listgen run: the report file of list %1 (%2) is not where it should be: %3\n")
                     .arg(listId)
                     .arg(list.name, QDir::toNativeSeparators(list.reportFile.trimmed().isEmpty() ? reportsDir
                                                                                                   : reportFile)));
        return 1;
    }
    auto engine = ObjectFactory::createAs<reportengine::ReportEngine>(reportengine::ReportEngine::kClassName);
    if (!engine) {
        printErr(u"listgen run: the report engine is not available\n"_s);
        return 1;
    }
    engine->setConnectionProvider(1);
    engine->setDataBasePath(dao::Database::isUri(dbPath) ? dbPath : QFileInfo(dbPath).absoluteFilePath());
    engine->setExportButtonEnable(true);
    engine->setPrintButtonEnable(true);
    engine->setReportFilePath(reportFile);
    engine->AddNewDataSource(u"BROWSE"_s, statement);
    engine->AddStringParam(u"report_name"_s, list.name);
    engine->AddStringParam(u"sub_report_name"_s, list.name);
    engine->AddStringParam(u"filter_string"_s, list.sqlDescription);
    engine->setPrintCopies(1);
    if (!engine->InitReportEngine()) {
        printErr(QStringLiteral("listgen run: the report of list %1 (%2) cannot be prepared: %3\n")
                     .arg(listId)
                     .arg(list.name, engine->LastError()));
        return 1;
    }
    auto document = engine->document();
    QString error;
    // The document refuses to replace the database and the report source.
    const bool ok = format == u"pdf"_s ? document->renderPdf(outPath, error) : document->renderHtml(outPath, error);
    if (!ok) {
        printErr(QStringLiteral("listgen run: cannot write %1: %2\n").arg(outPath, error));
        return 1;
    }
    if (format == u"pdf"_s)
        printErr(QStringLiteral("%1 pages written to %2\n").arg(document->pageCount()).arg(outPath));
    else
        printErr(QStringLiteral("report written to %1\n").arg(outPath));
    return 0;
}

// The Excel export: the captions of the list's groups and displayed fields
// over their columns. The alternative group columns (RGF) only order and
// group the report; they have no caption of their own and are left out, so
// that every caption stands over its own column.
int exportXlsx(dao::Database& db, long listId, const ListRow& list, const QString& statement, bool fullNames,
               const QString& outPath)
{
    QString header;
    if (!catalogue::GenerateReportFieldNameList(listId, fullNames, header)) {
        printErr(QStringLiteral("listgen run: the column captions of list %1 (%2) cannot be read\n")
                     .arg(listId)
                     .arg(list.name));
        return 1;
    }
    auto rs = db.OpenRecordset(statement, dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
    const qsizetype columnCount = cXLSExport::ExportedFields(*rs).size();
    const qsizetype captionCount = header.isEmpty() ? 0 : header.split(u',').size();
    if (captionCount != columnCount) {
        printErr(QStringLiteral("listgen run: list %1 (%2) has %3 column captions for %4 columns; save the list "
                                "again to bring its statement up to date\n")
                     .arg(listId)
                     .arg(list.name)
                     .arg(captionCount)
                     .arg(columnCount));
        return 1;
    }

    cXLSExport x;
    x.setFileName(outPath);
    x.setFieldHeader(header);
    x.setRecordSource(rs);
    x.refusePath(db.Name());
    if (!x.ExportExecute()) {
        printErr(QStringLiteral("listgen run: cannot write %1: %2\n").arg(outPath, x.LastError()));
        return 1;
    }
    const long rows = x.RowsWritten();
    printErr(QStringLiteral("%1 rows written to %2\n").arg(rows).arg(outPath));
    return 0;
}

}  // namespace

static int runList(const Args& args)
{
    const QString dbPath = args.required(u"db"_s);
    const long listId = args.number(u"list"_s).value_or(-1);
    if (!args.has(u"list"_s))
        throw UsageError{u"missing --list"_s};
    if (!args.has(u"user"_s))
        throw UsageError{u"missing --user"_s};
    const long userId = *args.number(u"user"_s);
    const QString formatName = args.value(u"format"_s, u"tsv"_s).toLower();
    const Format* format = nullptr;
    for (const Format& f : formats())
        if (formatName == QLatin1String(f.name))
            format = &f;
    const bool rendered = renderedFormats().contains(formatName);
    if (!format && !rendered)
        throw UsageError{
            QStringLiteral("unknown --format \"%1\" (tsv, csv, json, pdf, html or xlsx)").arg(formatName)};
    if (rendered && !args.has(u"show-statement"_s) && args.value(u"out"_s, QString()).trimmed().isEmpty())
        throw UsageError{QStringLiteral("--format %1 needs --out FILE").arg(formatName)};
    report::RunParameters parameters;
    for (int i = 0; i < 5; ++i)
        parameters[size_t(i)] = args.value(QStringLiteral("par%1").arg(i + 1), QString());
    // Each inserted condition stands on its own: none may close the stored
    // statement's bracket and bypass its conditions.
    try {
        report::checkRunCondition(args.value(u"where"_s, QString()), u"--where"_s);
        for (int i = 0; i < 5; ++i)
            report::checkRunCondition(parameters[size_t(i)], QStringLiteral("--par%1").arg(i + 1));
    } catch (const RuntimeError& e) {
        throw UsageError{e.description().section(u"\r\n"_s, 0, 0)};
    }

    if (!dao::Database::exists(dbPath)) {
        printErr(QStringLiteral("listgen run: no database at %1\n").arg(dbPath));
        return 1;
    }
    auto db = dao::Database::open(dbPath);
    ctx().database = db;
    ctx().userId = userId;
    struct Release {
        ~Release() { ctx().database.reset(); }
    } release;

    ListRow list;
    if (!loadList(*db, listId, list)) {
        printErr(QStringLiteral("listgen run: there is no list %1\n").arg(listId));
        return 1;
    }
    if (!catalogue::UserExists(userId)) {
        printErr(QStringLiteral("listgen run: there is no user %1\n").arg(userId));
        return 1;
    }
    if (!mayRun(userId, listId)) {
        printErr(QStringLiteral("listgen run: user %1 may not run list %2 (%3)\n").arg(userId).arg(listId).arg(list.name));
        return 1;
    }
    if (list.sqlSource.trimmed().isEmpty()) {
        printErr(QStringLiteral("listgen run: list %1 (%2) has no statement yet\n").arg(listId).arg(list.name));
        return 1;
    }

    // No pre-filter dialog here: --where is the host's condition.
    const QString statement = report::buildRunStatement(
        list.sqlSource, report::runCondition(QString(), args.value(u"where"_s, QString())), parameters, userId);
    if (args.has(u"show-statement"_s)) {
        printOut(statement + u"\n"_s);
        return 0;
    }

    if (rendered) {
        const QString out = args.value(u"out"_s, QString()).trimmed();
        if (!checkWritable(out))
            return 1;
        // Whatever the format, the database being read is never the target.
        QString why;
        if (!SafeFile::checkTarget(out, {dbPath}, &why)) {
            printErr(QStringLiteral("listgen run: cannot write %1: %2\n").arg(out, why));
            return 1;
        }
        if (formatName == u"xlsx"_s)
            return exportXlsx(*db, listId, list, statement, !args.has(u"short-names"_s), out);
        // The report sources lie beside a database file; for a server, in --reports or here.
        const QString reportsDefault = dao::Database::isUri(dbPath) ? QDir::currentPath() : QFileInfo(dbPath).absolutePath();
        return renderWithEngine(dbPath, args.value(u"reports"_s, reportsDefault), listId, list,
                                statement, formatName, out);
    }

    // The target is checked before the statement runs: a refused --out (the
    // database itself, a folder, a device) costs nothing and writes nothing.
    const auto outPath = args.value(u"out"_s);
    std::unique_ptr<SafeFile> target;
    if (outPath) {
        target = std::make_unique<SafeFile>(*outPath);
        target->refuse(dbPath);
        if (!target->begin()) {
            printErr(QStringLiteral("listgen run: cannot write %1: %2\n").arg(*outPath, target->errorString()));
            return 1;
        }
    }

    auto rs = db->OpenRecordset(statement, dao::RecordsetType::ForwardOnly, dao::dbReadOnly);

    std::FILE* file = stdout;
    if (target) {
        file = std::fopen(QFile::encodeName(target->tempPath()).constData(), "wb");
        if (!file) {
            printErr(QStringLiteral("listgen run: cannot write %1\n").arg(*outPath));
            return 1;
        }
    }
    struct CloseFile {
        std::FILE*& file;
        bool owned;
        ~CloseFile()
        {
            if (owned && file)
                std::fclose(file);
        }
    } closeFile{file, bool(target)};

    long rows = 0;
    bool ok = false;
    // A progress line on a terminal, unless the rows go to the same one.
    const bool progress = isatty(STDERR_FILENO) && (target || !isatty(STDOUT_FILENO));
    constexpr long kProgressStep = 10000;
    {
        Output out(file);
        std::unique_ptr<RowSink> sink = format->make(out);
        QList<Column> columns;
        for (int i = 0; i < rs->FieldCount(); ++i)
            columns.append({rs->FieldName(i), rs->FieldTypeOf(i)});
        sink->begin(columns);
        QList<Value> values(columns.size());
        // A write that failed (a full disk, a closed pipe) ends the run.
        for (; !rs->Eof() && !out.failed(); rs->MoveNext()) {
            sink->rowOf(*rs, values);
            if (++rows % kProgressStep == 0 && progress)
                printErr(QStringLiteral("\r%1 rows...").arg(rows));
        }
        if (progress && rows >= kProgressStep)
            printErr(u"\r                    \r"_s);
        sink->end();
        out.flush();
        ok = !out.failed();
    }
    if (target) {
        const bool closed = std::fclose(file) == 0;
        file = nullptr;
        // Until the commit the earlier file stays as it was.
        if (!ok || !closed || !target->commit()) {
            const QString why = target->errorString();
            target->cancel();
            printErr(QStringLiteral("listgen run: cannot write %1%2\n")
                         .arg(*outPath, why.isEmpty() ? QString() : u": "_s + why));
            return 1;
        }
        printErr(QStringLiteral("%1 rows written to %2\n").arg(rows).arg(*outPath));
    } else if (!ok) {
        return 1;  // the caller names the lost standard output
    }
    return 0;
}

// The PDF and HTML outputs lay text out with real fonts and need the GUI
// application; the row formats start without it.
static bool runNeedsGui(const Args& args)
{
    const QString format = args.value(u"format"_s, u"tsv"_s).toLower();
    return format == u"pdf"_s || format == u"html"_s;
}

static RegisterCommand reg{
    {"run",
     "--db FILE --list ID --user ID [--par1 COND ... --par5 COND] [--where COND] "
     "[--format tsv|csv|json|pdf|html|xlsx] [--out FILE] [--reports DIR] [--short-names] [--show-statement]",
     "runs a saved list as the user and prints its rows, or renders its report (pdf, html; --out needed; the "
     "report files are looked for in --reports, by default next to the database) or exports it to Excel (xlsx; "
     "--short-names for short column captions)",
     false,
     &runList,
     {u"show-statement"_s, u"short-names"_s},
     &runNeedsGui,
     {u"db"_s, u"list"_s, u"user"_s, u"par1"_s, u"par2"_s, u"par3"_s, u"par4"_s, u"par5"_s, u"where"_s, u"format"_s,
      u"out"_s, u"reports"_s}}};

}  // namespace lg::cli
