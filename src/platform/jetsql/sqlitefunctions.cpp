#include "sqlitefunctions.h"

#include <sqlite3.h>

namespace lg::jetsql {

void registerSqliteFunctions(sqlite3*) {}

}  // namespace lg::jetsql
