#pragma once

// The Jet functions for dates, formats, text, conversions and the checked
// arithmetic (sqlitefunctions_jet.cpp); registerSqliteFunctions() installs
// them with the others.

struct sqlite3;

namespace lg::jetsql {

void registerJetFunctions(sqlite3* db);

// Forgets the column types the statements of `db` have read; for a schema
// that changed (ALTER TABLE), as the database layer forgets its own.
void forgetColumnTypes(sqlite3* db);

}  // namespace lg::jetsql
