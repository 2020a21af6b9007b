#pragma once

// Translation of Jet SQL statements into the SQL of the database underneath,
// keeping Jet's meaning (text comparison, dates, truth values, Null handling,
// arithmetic, function names). Generated SQL relies on the functions and the
// collation that registerSqliteFunctions() installs on every connection.

#include "statementkind.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

namespace lg::jetsql {

enum class Dialect { SQLite, PostgreSQL };

struct Translation {
    QString sql;  // DDL may hold several ';'-separated statements
    StatementKind kind = StatementKind::Other;
    // The bound values the SQL numbers ?1, ?2, ...: entry k-1 is the
    // lower-cased name of ?k as written '@name', or empty for a positional
    // '?'. One statement uses only one of the two kinds.
    QStringList parameters;
    // A SELECT's columns by the names Jet gives them (alias, column name,
    // Expr1000 …), "*" for a star, in order.
    QStringList columnNames;
};

// Translates one Jet statement. Results are cached by text and dialect; safe
// to call from several threads. Throws lg::RuntimeError (errnum::SyntaxError
// for text that does not parse, errnum::UndefinedFunction for an unknown
// function).
std::shared_ptr<const Translation> translate(const QString& jet, Dialect dialect = Dialect::SQLite);

// The collation and functions that PostgreSQL text of translated statements
// uses; run once on every database (it can run again without harm).
QString postgresSetupSql();

// Empties the translation cache (benchmarks measure cold translation).
void clearTranslationCache();

}  // namespace lg::jetsql
