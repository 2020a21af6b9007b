#pragma once

// Small helpers shared by the statement builders of the catalogue and report
// modules: decimal ids, the active database and the release of read locks
// after a selection.

#include <QtCore/QString>

#include <memory>

namespace lg::dao {
class Database;
class Recordset;
}  // namespace lg::dao

namespace lg::catalogue {

// Decimal text of an id as it goes into a statement.
inline QString num(long value)
{
    return QString::number(value);
}

// The library-wide database; throws a RuntimeError when none is set.
dao::Database& activeDatabase();

// Opens a selection with default options and tells the engine to release
// its read locks afterwards.
std::shared_ptr<dao::Recordset> openSelection(const QString& jetSql);

// Text of the current row's column, "" for Null.
QString textOf(const dao::Recordset& rs, const QString& column);
// Number of the current row's column, `fallback` for Null or a non-number.
long longOf(const dao::Recordset& rs, const QString& column, long fallback = 0);

}  // namespace lg::catalogue
