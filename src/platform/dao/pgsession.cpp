// The libpq connection of a PostgreSQL database: statements, errors with
// Jet's numbers, values with Jet's meaning, the schema read from the
// catalogue, table locks as advisory locks.

#include "pgsession.h"

#include <QtCore/QDate>
#include <QtCore/QDateTime>
#include <QtCore/QTime>

#include <cmath>
#include <cstdlib>

#include "platform/dao/tsv.h"
#include "platform/jetsql/jeterrors.h"
#include "platform/jetsql/jetvalues.h"
#include "platform/jetsql/translate.h"

namespace lg::dao {

namespace {

// Type OIDs of the PostgreSQL catalogue (pg_type.h), fixed across versions.
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kName = 19,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kBpchar = 1042,
    kVarchar = 1043,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kNumeric = 1700,
};

// numeric(19, 4): Jet's Currency.
constexpr int kCurrencyModifier = ((19 << 16) | 4) + 4;

// The key space of this library's advisory locks (the first half of the
// two-integer key); the second half is the hash of the table's name.
constexpr int kLockSpace = 0x4C47;  // "LG"
constexpr int kSetupLock = 0x4C470001;

int toInt(const char* s)
{
    return int(std::strtol(s, nullptr, 10));
}

// "YYYY-MM-DD[ HH:MM:SS[.ffffff]]" as the server writes it with DateStyle ISO.
QDateTime parseTimestamp(const char* s, int n)
{
    if (n < 10)
        return {};
    const QDate date(toInt(s), toInt(s + 5), toInt(s + 8));
    QTime time(0, 0);
    if (n >= 19) {
        int msec = 0;
        if (n > 20 && s[19] == '.') {
            // fractions of a second, rounded to milliseconds
            double frac = std::strtod(s + 19, nullptr);
            msec = int(std::lround(frac * 1000));
        }
        time = QTime(toInt(s + 11), toInt(s + 14), toInt(s + 17));
        if (msec >= 1000)
            return QDateTime(date, time).addMSecs(msec);
        time = time.addMSecs(msec);
    }
    return QDateTime(date, time);
}

QString sqlState(const PGresult* r)
{
    const char* s = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    return s ? QString::fromLatin1(s) : QString();
}

}  // namespace

bool isPostgresUri(const QString& name)
{
    return name.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           name.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

// ---- errors -------------------------------------------------------------------

void failPg(const QString& source, const PGresult* result, PGconn* conn, const QByteArray& sql)
{
    QString message = QString::fromUtf8(result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr);
    if (message.isEmpty())
        message = QString::fromUtf8(conn ? PQerrorMessage(conn) : "").trimmed();
    const QString state = sqlState(result);
    // The texts Jet's functions raise keep their numbers.
    if (const long jet = jetsql::jetErrorNumber(message))
        throw RuntimeError(jet, source, message);
    struct Mapping {
        const char* state;
        long number;
        const char* text;
    };
    static const Mapping mappings[] = {
        {"23505", daoerr::DuplicateValues,
         "The changes you requested to the table were not successful because they would create duplicate values in "
         "the index, primary key, or relationship"},
        {"23502", 3314, "A required field cannot contain a Null value"},
        {"22012", jetsql::jeterr::DivisionByZero, jetsql::kMsgDivisionByZero},
        {"22003", jetsql::jeterr::Overflow, jetsql::kMsgOverflow},
        {"22001", daoerr::FieldTooSmall, "The field is too small to accept the amount of data you attempted to add"},
        {"22007", daoerr::ConversionError, "Data type conversion error"},
        {"22008", daoerr::ConversionError, "Data type conversion error"},
        {"23514", daoerr::ConversionError, "Data type conversion error"},
        {"42883", 3085, "Undefined function in expression"},
        {"42P01", daoerr::TableNotFound, "Cannot find the input table or query"},
        {"42703", daoerr::TooFewParameters, "Too few parameters. Expected 1."},
        {"21000", jetsql::jeterr::AtMostOneRecord, jetsql::kMsgAtMostOneRecord},
        {"54001", jetsql::jeterr::QueryTooComplex, jetsql::kMsgQueryTooComplex},
        {"55P03", daoerr::TableLocked, "Couldn't lock table; currently in use by another person or process"},
        {"40001", 3260, "Couldn't update; currently locked by another session"},
        {"40P01", 3260, "Couldn't update; currently locked by another session"},
    };
    // A value the type cannot take: stored, it is the field's conversion
    // error; compared, a type mismatch in the criteria.
    if (state == QLatin1String("22P02") || state == QLatin1String("42804")) {
        const QByteArray head = sql.left(7).toUpper();
        if (head.startsWith("INSERT") || head.startsWith("UPDATE"))
            throw RuntimeError(daoerr::ConversionError, source, QStringLiteral("Data type conversion error (%1)").arg(message));
        throw RuntimeError(jetsql::jeterr::CriteriaTypeMismatch, source,
                           QStringLiteral("%1 (%2)").arg(QString::fromLatin1(jetsql::kMsgTypeMismatch), message));
    }
    // An unknown column is a parameter without value, as Jet sees it.
    if (state == QLatin1String("42703")) {
        const qsizetype a = message.indexOf(u'"'), b = message.indexOf(u'"', a + 1);
        const QString name = a >= 0 && b > a ? message.mid(a + 1, b - a - 1) : message;
        throw RuntimeError(daoerr::TooFewParameters, source, QStringLiteral("Too few parameters. Expected 1. (%1)").arg(name));
    }
    for (const Mapping& m : mappings)
        if (state == QLatin1String(m.state))
            throw RuntimeError(m.number, source, QStringLiteral("%1 (%2)").arg(QString::fromUtf8(m.text), message));
    throw RuntimeError(errnum::Database, source, state.isEmpty() ? message : message + QStringLiteral(" [") + state + u']');
}

// ---- values -------------------------------------------------------------------

void PgParams::add(const Value& value, FieldType type)
{
    if (isNull(value)) {
        values.emplace_back();
        types.push_back(0);
        nulls.push_back(1);
        return;
    }
    nulls.push_back(0);
    const Value v = type == FieldType::Unknown ? value : normalizeForType(value, type);
    switch (v.typeId()) {
    case QMetaType::Bool:
        values.push_back(v.toBool() ? "-1" : "0");
        types.push_back(kInt4);
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        values.push_back(QByteArray::number(v.toLongLong()));
        types.push_back(kInt4);
        return;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong: {
        const qlonglong n = v.toLongLong();
        values.push_back(QByteArray::number(n));
        types.push_back(n >= INT32_MIN && n <= INT32_MAX ? kInt4 : kInt8);
        return;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (type == FieldType::Currency) {
            values.push_back(QByteArray::number(d, 'f', 4));
            types.push_back(kNumeric);
            return;
        }
        values.push_back(QByteArray::number(d, 'g', 17));
        types.push_back(kFloat8);
        return;
    }
    case QMetaType::QDateTime:
        values.push_back(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8());
        types.push_back(kTimestamp);
        return;
    case QMetaType::QDate:
        values.push_back(v.toDate().toString(QStringLiteral("yyyy-MM-dd 00:00:00")).toUtf8());
        types.push_back(kTimestamp);
        return;
    case QMetaType::QTime:
        values.push_back(QByteArrayLiteral("1899-12-30 ") + v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8());
        types.push_back(kTimestamp);
        return;
    case QMetaType::QByteArray:
        values.push_back("\\x" + v.toByteArray().toHex());
        types.push_back(kBytea);
        return;
    default:
        values.push_back(v.toString().toUtf8());
        types.push_back(kText);
        return;
    }
}

FieldType pgFieldType(Oid type, int modifier)
{
    switch (type) {
    case kInt4:
    case kInt8:
    case kOid:
        return FieldType::Long;
    case kInt2:
        return FieldType::Integer;
    case kBool:
        return FieldType::YesNo;
    case kFloat4:
    case kFloat8:
        return FieldType::Double;
    case kNumeric:
        return modifier == kCurrencyModifier ? FieldType::Currency : FieldType::Double;
    case kVarchar:
    case kBpchar:
    case kName:
        return FieldType::Text;
    case kText:
        return FieldType::Memo;
    case kTimestamp:
    case kTimestampTz:
    case kDate:
        return FieldType::DateTime;
    default:
        return FieldType::Unknown;
    }
}

Value pgValue(const PGresult* r, int row, int col, Oid type)
{
    if (PQgetisnull(r, row, col))
        return Value();
    const char* s = PQgetvalue(r, row, col);
    const int n = PQgetlength(r, row, col);
    switch (type) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return Value(qlonglong(std::strtoll(s, nullptr, 10)));
    case kBool:
        return Value(qlonglong(s[0] == 't' ? -1 : 0));
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return Value(std::strtod(s, nullptr));
    case kTimestamp:
    case kTimestampTz:
    case kDate:
        return Value(parseTimestamp(s, n));
    case kBytea: {
        if (n >= 2 && s[0] == '\\' && s[1] == 'x')
            return Value(QByteArray::fromHex(QByteArray::fromRawData(s + 2, n - 2)));
        size_t len = 0;
        unsigned char* raw = PQunescapeBytea(reinterpret_cast<const unsigned char*>(s), &len);
        QByteArray out(reinterpret_cast<const char*>(raw), qsizetype(len));
        PQfreemem(raw);
        return Value(out);
    }
    default:
        return Value(QString::fromUtf8(s, n));
    }
}

void appendPgTsv(QByteArray& out, const PGresult* r, int row, int col, Oid type, FieldType fieldType)
{
    if (PQgetisnull(r, row, col))
        return;
    const char* s = PQgetvalue(r, row, col);
    const int n = PQgetlength(r, row, col);
    switch (type) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        // The server writes whole numbers as the TSV form does.
        if (fieldType != FieldType::YesNo) {
            out.append(s, n);
            return;
        }
        break;
    case kBool:
        out += s[0] == 't' ? "-1" : "0";
        return;
    case kFloat4:
    case kFloat8:
    case kNumeric:
        if (fieldType != FieldType::YesNo) {
            appendTsvDouble(out, std::strtod(s, nullptr));
            return;
        }
        break;
    case kText:
    case kVarchar:
    case kBpchar:
    case kName:
        if (appendTsvPlainText(out, s, n))
            return;
        break;
    case kTimestamp:
    case kDate:
        // Fractions of a second, infinity and dates before Christ take the long way.
        if (appendTsvDateText(out, s, n))
            return;
        break;
    default:
        break;
    }
    appendTsvValue(out, pgValue(r, row, col, type), fieldType);
}

PgParams pgParameters(const QStringList& names, const Parameters& parameters, const QString& source)
{
    // The same rules as on SQLite (bindParameters): one kind of marker, every
    // marker a value, no value left over.
    const QVariantList& positional = parameters.positional();
    const QVariantHash& named = parameters.named();
    if (!positional.isEmpty() && !named.isEmpty())
        fail(source, daoerr::InvalidArgument,
             QStringLiteral("Invalid argument: parameters are either positional or named."));
    PgParams out;
    int nextPositional = 0;
    QStringList missing;
    for (const QString& name : names) {
        if (name.isEmpty()) {
            if (nextPositional < positional.size())
                out.add(positional.at(nextPositional));
            else
                missing.append(QStringLiteral("?"));
            ++nextPositional;
        } else {
            const auto it = named.constFind(name.toLower());
            if (it != named.constEnd())
                out.add(*it);
            else
                missing.append(QLatin1Char('@') + name);
        }
    }
    if (!missing.isEmpty())
        fail(source, daoerr::TooFewParameters,
             QStringLiteral("Too few parameters. Expected %1. (%2)").arg(missing.size()).arg(missing.join(u", ")));
    if (positional.size() > nextPositional)
        fail(source, daoerr::InvalidArgument,
             QStringLiteral("Invalid argument: %1 values for %2 parameters.").arg(positional.size()).arg(nextPositional));
    return out;
}

// ---- the session ------------------------------------------------------------------

PgSession::~PgSession()
{
    if (conn)
        PQfinish(conn);  // ends the transaction and releases the session's locks
}

void PgSession::connect(const QString& target)
{
    uri = target;
    conn = PQconnectdb(target.toUtf8().constData());
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        const QString reason = QString::fromUtf8(conn ? PQerrorMessage(conn) : "out of memory").trimmed();
        fail(kDatabaseSource, errnum::Database, QStringLiteral("Cannot open the database '%1': %2").arg(target, reason));
    }
    PQsetClientEncoding(conn, "UTF8");
    exec("SET DateStyle = ISO; SET IntervalStyle = postgres; SET extra_float_digits = 1; "
         "SET client_min_messages = error");
    // The collation and functions the translated statements use come with the
    // database; one session installs them, the others wait for it.
    PgResult ready = exec("SELECT EXISTS (SELECT 1 FROM pg_collation WHERE collname = 'jet_ci') "
                          "AND EXISTS (SELECT 1 FROM pg_proc WHERE proname = 'jet_last_step')");
    if (ready.text(0, 0) != QLatin1String("t")) {
        control("BEGIN");
        try {
            control("SELECT pg_advisory_xact_lock(" + QByteArray::number(kSetupLock) + ")");
            control(jetsql::postgresSetupSql().toUtf8());
            control("COMMIT");
        } catch (...) {
            PQclear(PQexec(conn, "ROLLBACK"));
            throw;
        }
    }
}

void PgSession::control(const QByteArray& sql)
{
    if (streamTransaction)
        endStream();
    if (!pendingCopies.empty())
        sendCopies();
    PgResult r(PQexec(conn, sql.constData()));
    const ExecStatusType st = PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        failPg(kDatabaseSource, r.get(), conn);
}

PgResult PgSession::exec(const QByteArray& sql, const QString& source)
{
    return exec(sql, PgParams(), source);
}

void PgSession::sendCopy(PgCopy& copy)
{
    if (copy.data.isEmpty())
        return;
    if (streamTransaction)
        endStream();
    const QByteArray data = std::exchange(copy.data, QByteArray());
    const bool guarded = PQtransactionStatus(conn) == PQTRANS_INTRANS;
    if (guarded)
        control("SAVEPOINT lg_statement");
    PgResult start(PQexec(conn, copy.command.constData()));
    bool ok = PQresultStatus(start.get()) == PGRES_COPY_IN;
    if (ok)
        ok = PQputCopyData(conn, data.constData(), int(data.size())) == 1;
    if (PQresultStatus(start.get()) == PGRES_COPY_IN)
        PQputCopyEnd(conn, ok ? nullptr : "the rows could not be sent");
    PgResult failed;
    if (PQresultStatus(start.get()) != PGRES_COPY_IN)
        failed = std::move(start);
    while (PGresult* r = PQgetResult(conn)) {
        if (PQresultStatus(r) != PGRES_COMMAND_OK && !failed.get())
            failed = PgResult(r);
        else
            PQclear(r);
    }
    if (failed.get() || !ok) {
        if (guarded)
            PQclear(PQexec(conn, "ROLLBACK TO SAVEPOINT lg_statement; RELEASE SAVEPOINT lg_statement"));
        failPg(kDatabaseSource, failed.get(), conn, "INSERT");
    }
    if (guarded)
        control("RELEASE SAVEPOINT lg_statement");
}

void PgSession::sendCopies()
{
    // Taken first: a failure leaves no copy half-registered.
    const std::vector<PgCopy*> copies = std::exchange(pendingCopies, {});
    for (PgCopy* c : copies)
        sendCopy(*c);
}

bool PgSession::beginStream()
{
    if (PQtransactionStatus(conn) != PQTRANS_IDLE || !pendingCopies.empty())
        return false;
    // The reader takes every row: plan for the whole result, not the first rows.
    PgResult r(PQexec(conn, "BEGIN; SET LOCAL cursor_tuple_fraction = 1"));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
        if (PQtransactionStatus(conn) != PQTRANS_IDLE)
            PQclear(PQexec(conn, "ROLLBACK"));
        failPg(kRecordsetSource, r.get(), conn);
    }
    streamTransaction = true;
    streamCursors = 0;
    ++streamNumber;
    return true;
}

void PgSession::endStream()
{
    streamTransaction = false;
    streamCursors = 0;
    // The commit computes the rest of the held cursors' rows; a failure
    // there (a division by zero in a later row) is the cursors', told by
    // their next fetch.
    PgResult r(PQexec(conn, "COMMIT"));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
        try {
            failPg(kRecordsetSource, r.get(), conn);
        } catch (const RuntimeError& e) {
            streamFailure = e;
            streamFailureNumber = streamNumber;
        }
        if (PQtransactionStatus(conn) != PQTRANS_IDLE)
            PQclear(PQexec(conn, "ROLLBACK"));
    }
}

void PgSession::releaseStream()
{
    if (streamCursors > 0)
        --streamCursors;
    if (streamCursors == 0 && streamTransaction && conn)
        endStream();
}

PgResult PgSession::cursorExec(const QByteArray& sql, const PgParams& params)
{
    if (!streamTransaction)
        return exec(sql, params, kRecordsetSource);
    PgResult r = run(sql, params);
    const ExecStatusType st = PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        // The cursors' transaction is lost with its cursors.
        streamTransaction = false;
        streamCursors = 0;
        PQclear(PQexec(conn, "ROLLBACK"));
        failPg(kRecordsetSource, r.get(), conn, sql);
    }
    return r;
}

PgResult PgSession::run(const QByteArray& sql, const PgParams& params, bool prepare)
{
    if (params.values.empty() && !prepare)
        return PgResult(PQexec(conn, sql.constData()));
    std::vector<const char*> values(params.values.size());
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = params.nulls[i] ? nullptr : params.values[i].constData();
    // Enough for the shapes of a few dozen recordsets; beyond, statements
    // run unprepared.
    constexpr qsizetype kMaxPrepared = 256;
    if (prepare && (prepared.size() < kMaxPrepared || deallocate)) {
        if (deallocate) {
            PQclear(PQexec(conn, "DEALLOCATE ALL"));
            deallocate = false;
        }
        QByteArray key = sql;
        key.append(reinterpret_cast<const char*>(params.types.data()), qsizetype(params.types.size() * sizeof(Oid)));
        QByteArray name = prepared.value(key);
        if (name.isEmpty()) {
            const QByteArray fresh = "lg_p" + QByteArray::number(qsizetype(prepared.size()) + 1) + "_" +
                                     QByteArray::number(++cursorNumber);
            PgResult r(PQprepare(conn, fresh.constData(), sql.constData(), int(params.types.size()),
                                 params.types.data()));
            if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
                return r;
            prepared.insert(key, fresh);
            name = fresh;
        }
        return PgResult(PQexecPrepared(conn, name.constData(), int(values.size()), values.data(), nullptr, nullptr, 0));
    }
    return PgResult(PQexecParams(conn, sql.constData(), int(values.size()), params.types.data(), values.data(),
                                 nullptr, nullptr, 0));
}

PgResult PgSession::exec(const QByteArray& sql, const PgParams& params, const QString& source)
{
    return execute(sql, params, source, false);
}

PgResult PgSession::execPrepared(const QByteArray& sql, const PgParams& params, const QString& source)
{
    return execute(sql, params, source, true);
}

PgResult PgSession::execute(const QByteArray& sql, const PgParams& params, const QString& source, bool prepare)
{
    if (streamTransaction)
        endStream();
    if (!pendingCopies.empty())
        sendCopies();
    const bool guarded = PQtransactionStatus(conn) == PQTRANS_INTRANS;
    if (guarded)
        control("SAVEPOINT lg_statement");
    PgResult r = run(sql, params, prepare);
    const ExecStatusType st = PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        if (guarded)
            PQclear(PQexec(conn, "ROLLBACK TO SAVEPOINT lg_statement; RELEASE SAVEPOINT lg_statement"));
        failPg(source, r.get(), conn, sql);
    }
    if (guarded)
        control("RELEASE SAVEPOINT lg_statement");
    return r;
}

QStringList PgSession::tableNames()
{
    PgResult r = exec("SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                      "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p', 'v') ORDER BY c.relname");
    QStringList names;
    for (int i = 0; i < r.rows(); ++i)
        names << r.text(i, 0);
    return names;
}

std::shared_ptr<const TableInfo> PgSession::tableInfo(const QString& name)
{
    const QString key = name.toLower();
    if (auto it = tableInfos.constFind(key); it != tableInfos.cend())
        return *it;
    PgParams p;
    p.add(key);
    PgResult t = exec("SELECT c.oid, c.relname, c.relkind FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                      "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p', 'v') AND c.relname = $1",
                      p);
    if (t.rows() == 0)
        return nullptr;
    auto info = std::make_shared<TableInfo>();
    info->name = t.text(0, 1);
    info->isView = t.text(0, 2) == QLatin1String("v");
    PgParams oid;
    oid.values.push_back(PQgetvalue(t.get(), 0, 0));
    oid.types.push_back(kOid);
    oid.nulls.push_back(0);
    // Columns: the type with its modifier, NOT NULL, the default, identity,
    // and the CHECK that marks a smallint as Yes/No or Byte.
    PgResult cols = exec(
        "SELECT a.attname, a.atttypid, a.atttypmod, a.attnotnull, pg_get_expr(d.adbin, d.adrelid), a.attidentity, "
        "(SELECT string_agg(pg_get_constraintdef(k.oid), ' ') FROM pg_constraint k "
        " WHERE k.conrelid = a.attrelid AND k.contype = 'c' AND a.attnum = ANY (k.conkey)) "
        "FROM pg_attribute a LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
        "WHERE a.attrelid = $1 AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
        oid);
    for (int i = 0; i < cols.rows(); ++i) {
        FieldDef f;
        f.name = cols.text(i, 0);
        const Oid type = Oid(cols.text(i, 1).toUInt());
        const int modifier = cols.text(i, 2).toInt();
        f.type = pgFieldType(type, modifier);
        f.required = cols.text(i, 3) == QLatin1String("t");
        const QString check = cols.text(i, 6);
        if (!cols.text(i, 5).isEmpty()) {
            f.type = FieldType::Counter;
            f.size = 4;
        } else if (type == kInt2) {
            f.type = check.contains(QLatin1String("-1")) ? FieldType::YesNo : FieldType::Integer;
            f.size = check.contains(QLatin1String("255")) ? 1 : 2;
        } else if (type == kInt4) {
            f.size = 4;
        } else if (type == kVarchar && modifier > 4) {
            f.size = modifier - 4;
        }
        if (!cols.isNull(i, 4)) {
            QString d = cols.text(i, 4);
            const qsizetype cast = d.indexOf(QLatin1String("::"));
            if (cast > 0 && d.startsWith(u'\''))
                d = d.left(cast);
            if (d.startsWith(u'\'') && d.endsWith(u'\''))
                f.defaultValue = d.mid(1, d.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
            else if (d.startsWith(u'(') && d.endsWith(u')'))
                f.defaultValue = normalizeForType(d.mid(1, d.size() - 2), f.type);
            else
                f.defaultValue = normalizeForType(d, f.type);
        }
        info->fields.append(f);
    }
    // Indexes: "<table>:<name>" as the translation names them, with their
    // columns in order and direction.
    PgResult idx = exec(
        "SELECT i.relname, x.indisunique, x.indisprimary, "
        " array_to_string(ARRAY(SELECT (x.indkey[k] - 1) || CASE WHEN (x.indoption[k] & 1) = 1 THEN '-' ELSE '+' END "
        "   FROM generate_subscripts(x.indkey, 1) AS k ORDER BY k), ',') "
        "FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid WHERE x.indrelid = $1 AND x.indexprs IS NULL "
        "ORDER BY i.relname",
        oid);
    const QString prefix = info->name + u':';
    for (int i = 0; i < idx.rows(); ++i) {
        IndexInfo ii;
        QString indexName = idx.text(i, 0);
        if (indexName.startsWith(prefix, Qt::CaseInsensitive))
            indexName = indexName.mid(prefix.size());
        ii.def.name = indexName.compare(QLatin1String("primarykey"), Qt::CaseInsensitive) == 0
                          ? QStringLiteral("PrimaryKey")
                          : indexName;
        ii.def.unique = idx.text(i, 1) == QLatin1String("t");
        ii.def.primary = idx.text(i, 2) == QLatin1String("t") || ii.def.name == QLatin1String("PrimaryKey");
        QStringList shown;
        bool valid = true;
        for (const QString& part : idx.text(i, 3).split(u',', Qt::SkipEmptyParts)) {
            const int column = part.left(part.size() - 1).toInt();
            if (column < 0 || column >= info->fields.size()) {
                valid = false;
                break;
            }
            const bool desc = part.endsWith(u'-');
            ii.columns.append(column);
            ii.descending.append(desc);
            shown << (desc ? u'-' : u'+') + info->fields.at(column).name;
        }
        if (!valid || ii.columns.isEmpty())
            continue;
        ii.def.fields = shown.join(u';');
        info->indexes.append(ii);
    }
    tableInfos.insert(key, info);
    return info;
}

void PgSession::lockTable(const QString& table)
{
    const QString key = table.toLower();
    if (int& held = tableLocks[key]; held > 0) {
        ++held;
        return;
    }
    PgParams p;
    p.add(QString(QStringLiteral("listgen table lock: ") + key));
    PgResult r = exec("SELECT pg_try_advisory_lock(" + QByteArray::number(kLockSpace) + ", hashtext($1))", p,
                      kRecordsetSource);
    if (r.text(0, 0) != QLatin1String("t")) {
        tableLocks.remove(key);
        fail(kRecordsetSource, daoerr::TableLocked,
             QStringLiteral("Couldn't lock table '%1'; currently in use by another person or process.").arg(table));
    }
    tableLocks[key] = 1;
}

void PgSession::unlockTable(const QString& table)
{
    const QString key = table.toLower();
    auto it = tableLocks.find(key);
    if (it == tableLocks.end())
        return;
    if (--*it > 0)
        return;
    tableLocks.erase(it);
    if (!conn || PQstatus(conn) != CONNECTION_OK)
        return;
    PgParams p;
    p.add(QString(QStringLiteral("listgen table lock: ") + key));
    std::vector<const char*> values{p.values[0].constData()};
    // Called from destructors: a failure here ends with the session anyway.
    const QByteArray unlock = "SELECT pg_advisory_unlock(" + QByteArray::number(kLockSpace) + ", hashtext($1))";
    PQclear(PQexecParams(conn, unlock.constData(),
                         1, p.types.data(), values.data(), nullptr, nullptr, 0));
}

}  // namespace lg::dao
