// Converting between SQLite's storage classes and field values with their Jet meaning.

#include <QtCore/QDate>
#include <QtCore/QTime>

#include <cmath>

#include "dao_internal.h"
#include "platform/jetsql/jetdate.h"
#include "platform/jetsql/jeterrors.h"

namespace lg::dao {

void fail(const QString& source, long number, const QString& description)
{
    // The engine's message may be one of the errors Jet raises while a
    // statement runs (Division by zero, Overflow ...): it keeps Jet's number.
    if (number == errnum::Database) {
        if (const long jet = jetsql::jetErrorNumber(description)) {
            if (jet == jetsql::jeterr::QueryTooComplex)
                throw RuntimeError(jet, source, QString::fromLatin1(jetsql::kMsgQueryTooComplex));
            throw RuntimeError(jet, source, description);
        }
    }
    throw RuntimeError(number, source, description);
}

void failSqlite(const QString& source, sqlite3* db, int rc, const QByteArray& sql)
{
    QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    if (message.isEmpty() || message == QLatin1String("not an error"))
        message = QString::fromUtf8(sqlite3_errstr(rc));
    Q_UNUSED(sql);
    // A name that is no column of the statement's tables: the engine took it
    // for a parameter without a value.
    static const QLatin1String noSuchColumn("no such column: ");
    if (message.startsWith(noSuchColumn))
        throw RuntimeError(daoerr::TooFewParameters, source,
                           QStringLiteral("Too few parameters. Expected 1. (%1)").arg(message.mid(noSuchColumn.size())));
    fail(source, errnum::Database, message);
}

QByteArray quoteIdent(const QString& name)
{
    QByteArray out;
    out.reserve(name.size() + 2);
    out += '"';
    out += name.toUtf8().replace('"', "\"\"");
    out += '"';
    return out;
}

namespace {

// Day zero of Jet's day numbers.
const QDate kDayZero(1899, 12, 30);

QDateTime fromDayNumber(double days)
{
    const double whole = std::floor(days);
    const qint64 msecs = qint64(std::llround((days - whole) * 86400000.0));
    return QDateTime(kDayZero.addDays(qint64(whole)), QTime(0, 0)).addMSecs(msecs);
}

bool looksCanonicalDate(const unsigned char* s, int n)
{
    // "YYYY-MM-DD HH:MM:SS"
    if (n != 19)
        return false;
    static const char pattern[] = "9999-99-99 99:99:99";
    for (int i = 0; i < 19; ++i) {
        if (pattern[i] == '9' ? (s[i] < '0' || s[i] > '9') : s[i] != static_cast<unsigned char>(pattern[i]))
            return false;
    }
    return true;
}

}  // namespace

Value readColumn(sqlite3_stmt* stmt, int col, FieldType type)
{
    // One look-up of the column; the value calls below are plain reads (the
    // connection belongs to this thread).
    sqlite3_value* v = sqlite3_column_value(stmt, col);
    const int storage = sqlite3_value_type(v);
    if (storage == SQLITE_NULL)
        return Value();
    auto text = [v] {
        const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
        return QString::fromUtf8(t, sqlite3_value_bytes(v));
    };
    switch (type) {
    case FieldType::Long:
    case FieldType::Integer:
    case FieldType::Counter:
        if (storage == SQLITE_INTEGER)
            return Value(qlonglong(sqlite3_value_int64(v)));
        break;
    case FieldType::YesNo:
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)
            return Value(qlonglong(sqlite3_value_double(v) != 0.0 ? -1 : 0));
        break;
    case FieldType::Double:
    case FieldType::Currency:
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)
            return Value(sqlite3_value_double(v));
        break;
    case FieldType::Text:
    case FieldType::Memo:
        if (storage != SQLITE_BLOB)
            return Value(text());
        break;
    case FieldType::DateTime:
        if (storage == SQLITE_TEXT) {
            const QString t = text();
            if (auto date = jetsql::fromCanonicalDate(t))
                return Value(*date);
            return Value(t);
        }
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)
            return Value(fromDayNumber(sqlite3_value_double(v)));
        break;
    case FieldType::Unknown:
        break;
    }
    // Values of computed columns (and stray values in typed columns) keep
    // their storage class; text in the canonical date form is a date.
    switch (storage) {
    case SQLITE_INTEGER:
        return Value(qlonglong(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return Value(sqlite3_value_double(v));
    case SQLITE_TEXT: {
        const auto* t = sqlite3_value_text(v);
        const int n = sqlite3_value_bytes(v);
        if (type == FieldType::Unknown && looksCanonicalDate(t, n)) {
            if (auto date = jetsql::fromCanonicalDate(QString::fromLatin1(reinterpret_cast<const char*>(t), n)))
                return Value(*date);
        }
        return Value(QString::fromUtf8(reinterpret_cast<const char*>(t), n));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_value_blob(v));
        return Value(QByteArray(data, sqlite3_value_bytes(v)));
    }
    default:
        return Value();
    }
}

Value detail::readCurrent(const CurrentRow& row, int col)
{
    // The common cases (whole numbers, numbers and texts in columns of their
    // own type) read in place; one look-up of the column, then plain reads.
    sqlite3_value* v = sqlite3_column_value(row.stmt, col);
    const int storage = sqlite3_value_type(v);
    switch (row.types[col]) {
    case FieldType::Long:
    case FieldType::Integer:
    case FieldType::Counter:
        if (storage == SQLITE_INTEGER)
            return Value(qlonglong(sqlite3_value_int64(v)));
        break;
    case FieldType::Double:
    case FieldType::Currency:
        if (storage == SQLITE_FLOAT)
            return Value(sqlite3_value_double(v));
        break;
    case FieldType::Text:
    case FieldType::Memo:
        if (storage == SQLITE_TEXT) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
            // Built in place: no copy of the text into the value.
            Value out{QMetaType::fromType<QString>()};
            *static_cast<QString*>(out.data()) = QString::fromUtf8(t, sqlite3_value_bytes(v));
            return out;
        }
        break;
    default:
        break;
    }
    if (storage == SQLITE_NULL)
        return Value();
    return readColumn(row.stmt, col, row.types[col]);
}

Value normalizeForType(const Value& value, FieldType type)
{
    if (isNull(value))
        return Value();
    switch (type) {
    case FieldType::YesNo: {
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed();
            if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
                s.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0)
                return Value(qlonglong(-1));
            if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
                s.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0)
                return Value(qlonglong(0));
            bool ok = false;
            const double d = s.toDouble(&ok);
            return ok ? Value(qlonglong(d != 0.0 ? -1 : 0)) : value;
        }
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok ? Value(qlonglong(d != 0.0 ? -1 : 0)) : value;
    }
    case FieldType::DateTime:
        switch (value.typeId()) {
        case QMetaType::QDateTime:
            return value;
        case QMetaType::QDate:
            return Value(QDateTime(value.toDate(), QTime(0, 0)));
        case QMetaType::QTime:
            return Value(QDateTime(kDayZero, value.toTime()));
        case QMetaType::QString:
            if (auto date = jetsql::fromCanonicalDate(value.toString().trimmed()))
                return Value(*date);
            return value;
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::LongLong:
            return Value(fromDayNumber(value.toDouble()));
        default:
            return value;
        }
    case FieldType::Long:
    case FieldType::Integer:
    case FieldType::Counter:
        if (value.typeId() == QMetaType::Bool)
            return Value(qlonglong(value.toBool() ? -1 : 0));
        return value;
    default:
        return value;
    }
}

void bindValue(sqlite3_stmt* stmt, int index, const Value& raw, FieldType type)
{
    const Value value = type == FieldType::Unknown ? raw : normalizeForType(raw, type);
    if (isNull(value)) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        sqlite3_bind_int64(stmt, index, value.toBool() ? -1 : 0);
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        sqlite3_bind_int64(stmt, index, value.toLongLong());
        return;
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(stmt, index, qint64(value.toULongLong()));
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, value.toDouble());
        return;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
    case QMetaType::QTime: {
        const Value date = normalizeForType(value, FieldType::DateTime);
        const QByteArray text = jetsql::toCanonicalDate(date.toDateTime()).toUtf8();
        sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        sqlite3_bind_blob(stmt, index, data.constData(), int(data.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

Parameters::Parameters(const QVariantMap& named)
{
    for (auto it = named.constBegin(); it != named.constEnd(); ++it)
        m_named.insert(it.key().toLower(), it.value());
}

Parameters::Parameters(const QVariantHash& named)
{
    for (auto it = named.constBegin(); it != named.constEnd(); ++it)
        m_named.insert(it.key().toLower(), it.value());
}

void bindParameters(sqlite3_stmt* stmt, const QStringList& names, const Parameters& parameters, const QString& source)
{
    const int count = sqlite3_bind_parameter_count(stmt);
    const QVariantList& positional = parameters.positional();
    const QVariantHash& named = parameters.named();
    if (!positional.isEmpty() && !named.isEmpty())
        fail(source, daoerr::InvalidArgument,
             QStringLiteral("Invalid argument: parameters are either positional or named."));
    int nextPositional = 0;
    QStringList missing;
    for (int k = 1; k <= count; ++k) {
        const QString name = k <= names.size() ? names.at(k - 1) : QString();
        if (name.isEmpty()) {
            if (nextPositional < positional.size())
                bindValue(stmt, k, positional.at(nextPositional));
            else
                missing.append(QStringLiteral("?"));
            ++nextPositional;
        } else {
            const auto it = named.constFind(name.toLower());
            if (it != named.constEnd())
                bindValue(stmt, k, *it);
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
}

bool isNumericType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

}  // namespace lg::dao
