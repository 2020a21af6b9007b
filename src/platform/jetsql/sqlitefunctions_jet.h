#pragma once

// The Jet functions for dates, formats, text, conversions and the checked
// arithmetic (sqlitefunctions_jet.cpp); registerSqliteFunctions() installs
// them with the others.

struct sqlite3;

namespace lg::jetsql {

void registerJetFunctions(sqlite3* db);

}  // namespace lg::jetsql
