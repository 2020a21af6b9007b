#pragma once

// The SQL functions and the "JET" collation that translated statements call.
// Every connection that runs translated SQL must have them registered.

struct sqlite3;

namespace lg::jetsql {

void registerSqliteFunctions(sqlite3* db);
// The numeric value functions (sqlitefunctions_values.cpp); part of the above.
void registerValueFunctions(sqlite3* db);

}  // namespace lg::jetsql
