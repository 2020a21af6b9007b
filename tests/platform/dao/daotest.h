#pragma once

#include <gtest/gtest.h>

#include <QtCore/QString>

#include <memory>

#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "support/pgcluster.h"
#include "support/testsupport.h"

namespace lg::dao::test {

// Whether this run of the tests is the one on PostgreSQL (LISTGEN_TEST_BACKEND=postgresql).
inline bool onPostgres()
{
    return qEnvironmentVariable("LISTGEN_TEST_BACKEND") == QLatin1String("postgresql");
}

// A fresh, empty database: a file in a temporary folder, or on the
// PostgreSQL run a new database of the test cluster.
inline std::shared_ptr<Database> freshDatabase(const QString& name = QStringLiteral("test.db"))
{
    if (onPostgres())
        return Database::open(lg::test::PgCluster::instance().uri(lg::test::PgCluster::instance().createDatabase()));
    return Database::open(lg::test::tempPath(name));
}

// The error number a call throws, 0 when it throws nothing.
template <class F> long errorNumberOf(F&& body)
{
    try {
        body();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace lg::dao::test

// For tests of what only the SQLite file backend has (journal modes, the file, its connection).
#define SQLITE_ONLY()                                                              \
    do {                                                                           \
        if (::lg::dao::test::onPostgres())                                         \
            GTEST_SKIP() << "SQLite only: this is about the database file itself"; \
    } while (0)

// At the top of a test (or SetUp) that runs on PostgreSQL: skips with the
// reason when the run is the PostgreSQL one and the cluster cannot start.
#define PG_RUN_OR_SKIP()                        \
    do {                                        \
        if (::lg::dao::test::onPostgres())      \
            PG_CLUSTER_OR_SKIP();               \
    } while (0)
