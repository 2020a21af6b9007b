#pragma once

// Reading and writing SQLite values inside the Jet functions
// (sqlitefunctions*.cpp); not part of the translator's interface.

#include <sqlite3.h>

#include <QtCore/QString>

#include <cmath>

namespace lg::jetsql::sqlitevalue {

inline bool isNull(sqlite3_value* v)
{
    return sqlite3_value_type(v) == SQLITE_NULL;
}

inline bool isNumeric(sqlite3_value* v)
{
    const int t = sqlite3_value_type(v);
    return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

inline QString text(sqlite3_value* v)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

inline void resultText(sqlite3_context* ctx, const QString& s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

// A number as Jet writes it: no ".0" on whole values.
inline QString numberText(double d)
{
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    return QString::number(d, 'g', 15);
}

// The text of a value as Jet converts it for concatenation.
inline QString asText(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return numberText(sqlite3_value_double(v));
    case SQLITE_NULL:
        return {};
    default:
        return text(v);
    }
}

}  // namespace lg::jetsql::sqlitevalue
