#pragma once

// Jet column types and how they are declared in SQLite. The declared type is
// what SQLite keeps in its schema and hands back from sqlite3_column_decltype,
// so the database layer can give values their Jet meaning again on reading:
//
//   Jet type     declared in SQLite             affinity   read back as
//   COUNTER      INTEGER PRIMARY KEY AUTOINCREMENT (a key)  integer  Long
//                COUNTER (not the key)          numeric    Long
//   LONG         LONG                           numeric    Long
//   SHORT        SHORT                          numeric    Integer
//   TEXT(n)      TEXT(n) COLLATE JET            text       Text
//   MEMO         LONGTEXT COLLATE JET           text       Memo
//   DATETIME     DATETIME                       numeric    Date/Time (canonical text, see jetdate.h)
//   YESNO        YESNO                          numeric    Yes/No (-1 / 0)
//   DOUBLE       DOUBLE                         real       Double
//   CURRENCY     CURRENCY                       numeric    Currency
//
// Jet DDL synonyms (INTEGER and INT mean LONG, SMALLINT and INTEGER2 mean
// SHORT, VARCHAR/CHAR mean TEXT, LONGTEXT/NOTE mean MEMO, DATE means DATETIME,
// BIT/LOGICAL/YESNO mean YESNO, FLOAT/REAL/NUMBER mean DOUBLE, MONEY means
// CURRENCY, AUTOINCREMENT means COUNTER) are folded by the translator.

#include <QtCore/QString>
#include <QtCore/QStringView>

namespace lg::jetsql {

enum class JetType { Unknown, Long, Integer, Text, Memo, DateTime, YesNo, Double, Currency, Counter };

// The name of the collation that every text column gets: Hungarian order,
// case-insensitive, as Jet compares text.
inline constexpr const char* kTextCollation = "JET";

// The declared SQLite type of a column (without PRIMARY KEY / COLLATE).
QString sqliteDeclaredType(JetType type, int size = 0);
// The Jet type of a declared SQLite type; Unknown for anything else.
JetType jetTypeFromDeclared(QStringView declared);

}  // namespace lg::jetsql
