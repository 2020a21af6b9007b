// A loadable extension that gives the sqlite3 shell the SQL functions and the
// "JET" collation of translated statements, so the shell can run exactly the
// statement `listgen run` runs:
//
//   sqlite3 -cmd '.load /path/to/liblistgen_sqlite_ext' demo.db "SELECT ..."
//
// The extension links the same SQLite library as the shell, so the
// registration calls go straight to it.

#include <sqlite3.h>

#include "platform/jetsql/sqlitefunctions.h"

extern "C" __attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3* db, char** errorMessage,
                                                                             const void* /*api*/)
{
    (void)errorMessage;
    lg::jetsql::registerSqliteFunctions(db);
    return SQLITE_OK;
}
