#pragma once

// Which backend a test program runs on: SQLite files, or (with
// LISTGEN_TEST_BACKEND=postgresql, the second run of a POSTGRES test program)
// databases of the program's throwaway PostgreSQL cluster. A fixture asks
// testDatabaseName() for a fresh database and opens it as a file or URI alike.

#include <gtest/gtest.h>

#include <QtCore/QString>

#include "support/pgcluster.h"
#include "support/testsupport.h"

namespace lg::test {

// Whether this run of the tests is the one on PostgreSQL.
inline bool onPostgres()
{
    return qEnvironmentVariable("LISTGEN_TEST_BACKEND") == QLatin1String("postgresql");
}

// A fresh database to open with dao::Database::open: the file `fileName` in
// a new temporary folder, or on the PostgreSQL run the URI of a new database
// (a copy of `templateName` when given).
inline QString testDatabaseName(const QString& fileName, const QString& templateName = {})
{
    if (onPostgres())
        return PgCluster::instance().uri(PgCluster::instance().createDatabase(templateName));
    return tempPath(fileName);
}

}  // namespace lg::test

// For tests of what only the SQLite file backend has (the file, its lock
// file, its raw connection).
#ifndef SQLITE_ONLY
#define SQLITE_ONLY()                                                              \
    do {                                                                           \
        if (::lg::test::onPostgres())                                              \
            GTEST_SKIP() << "SQLite only: this is about the database file itself"; \
    } while (0)
#endif

// At the top of a test or SetUp: on the PostgreSQL run, skips with the
// reason when the cluster cannot start.
#ifndef PG_RUN_OR_SKIP
#define PG_RUN_OR_SKIP()                   \
    do {                                   \
        if (::lg::test::onPostgres())      \
            PG_CLUSTER_OR_SKIP();          \
    } while (0)
#endif
