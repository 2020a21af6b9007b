#pragma once

// A private, throwaway PostgreSQL cluster for one test program: created in a
// temporary folder (in /dev/shm where it can) on first use (initdb, a Unix
// socket in that folder, no TCP), stopped and removed when the program ends,
// also when it dies, by a watcher process that waits for the program's end.
//
// When the server binaries are missing or the cluster cannot start, tests
// skip with the reason: PG_CLUSTER_OR_SKIP() at the top of a test.

#include <QtCore/QString>

#include <libpq-fe.h>

#include <memory>
#include <stdexcept>

namespace lg::test {

class PgCluster {
public:
    // The cluster of this process, started on the first call.
    static PgCluster& instance();

    bool available() const { return m_available; }
    // Why the cluster is not available (for GTEST_SKIP).
    const QString& unavailableReason() const { return m_reason; }

    // libpq connection string of the cluster's database `dbname`.
    QString connectionString(const QString& dbname = QStringLiteral("postgres")) const;
    // A connection URI (postgresql://...) of the same.
    QString uri(const QString& dbname = QStringLiteral("postgres")) const;

    // The folder that holds the cluster's data and socket.
    const QString& folder() const { return m_dir; }

    // Creates a fresh database and returns its name: empty, or a copy of the
    // database `templateName` (which must have no open connection).
    QString createDatabase(const QString& templateName = {});
    // Creates the database `name` (empty) unless it exists; true when it created it.
    bool createNamedDatabase(const QString& name);

    // Where initdb and pg_ctl are: /usr/lib/postgresql/<v>/bin, then PATH.
    // Empty when they are not installed.
    static QString findServerBinaries();

    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;
    ~PgCluster();

private:
    PgCluster();
    bool start();
    void stop();

    bool m_available = false;
    QString m_reason;
    QString m_dir;  // data folder and socket folder beneath it
    QString m_bin;
    QString m_runAs;  // user the server runs as when started by root
    int m_databases = 0;
};

// A connection to one database, closed on destruction. exec() throws
// std::runtime_error with the server's message.
class PgConnection {
public:
    explicit PgConnection(const QString& conninfo);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    PGconn* handle() const { return m_conn; }

    // Runs SQL as it stands (several statements allowed).
    void exec(const QString& sql);
    // Runs one query and returns its rows as "v1|v2|..." with NULL for Null.
    QStringList rows(const QString& sql);
    // The first column of the first row.
    QString value(const QString& sql);

private:
    PGconn* m_conn = nullptr;
};

}  // namespace lg::test

#define PG_CLUSTER_OR_SKIP()                                                                        \
    do {                                                                                            \
        if (!::lg::test::PgCluster::instance().available())                                         \
            GTEST_SKIP() << "PostgreSQL: "                                                          \
                         << ::lg::test::PgCluster::instance().unavailableReason().toStdString();    \
    } while (0)
