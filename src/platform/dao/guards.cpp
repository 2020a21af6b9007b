// The scope guards of the database layer (transactions, read snapshots, bulk
// loads) and prepared statements.

#include "dao_internal.h"
#include "pgsession.h"
#include "platform/jetsql/translate.h"

namespace lg::dao {

// ---- Transaction -------------------------------------------------------------------

Transaction::Transaction(Database& db) : m_db(db), m_level(db.transactionLevel())
{
    m_db.BeginTrans();
}

Transaction::~Transaction()
{
    try {
        rollback();
    } catch (...) {
        // Nothing can be reported from here; the engine's own end of the
        // connection rolls back whatever is still open.
    }
}

void Transaction::commit(int options)
{
    if (!m_active)
        fail(kDatabaseSource, daoerr::CommitWithoutBegin,
             QStringLiteral("You tried to commit or rollback a transaction without first beginning a transaction."));
    if (m_db.transactionLevel() != m_level + 1)
        fail(kDatabaseSource, daoerr::InvalidOperation,
             QStringLiteral("Invalid operation: an inner transaction is still open."));
    m_db.CommitTrans(options);
    m_active = false;
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    while (m_db.transactionLevel() > m_level)
        m_db.Rollback();
}

// ---- ReadSnapshot ------------------------------------------------------------------

ReadSnapshot::ReadSnapshot(Database& db) : m_db(db)
{
    Database::Impl& d = DatabaseAccess::of(db);
    if (d.transactionLevel > 0 || d.snapshot)
        return;
    if (d.pg) {
        d.pg->control("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
        d.snapshot = true;
        m_holds = true;
        return;
    }
    // Statements still standing on old rows would keep their older view.
    d.releaseCursors(false);
    d.run("BEGIN DEFERRED");
    // A deferred transaction takes its view at the first read: read now, so
    // the view is the one of this moment.
    try {
        Stmt s = d.prepare("SELECT count(*) FROM sqlite_master");
        if (const int rc = sqlite3_step(s.get()); rc != SQLITE_ROW)
            failSqlite(kDatabaseSource, d.db, rc);
    } catch (...) {
        sqlite3_exec(d.db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    d.snapshot = true;
    m_holds = true;
}

ReadSnapshot::~ReadSnapshot()
{
    if (!m_holds)
        return;
    Database::Impl& d = DatabaseAccess::of(m_db);
    d.snapshot = false;
    if (d.pg) {
        PQclear(PQexec(d.pg->conn, "COMMIT"));
        return;
    }
    // Nothing was written: the end of a read transaction cannot lose work.
    if (sqlite3_exec(d.db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(d.db, "ROLLBACK", nullptr, nullptr, nullptr);
}

// ---- BulkLoad -------------------------------------------------------------------------

BulkLoad::BulkLoad(Database& db) : m_db(db)
{
    Database::Impl& d = DatabaseAccess::of(db);
    if (d.pg) {
        // The server keeps its own log and a failure undoes the caller's
        // transaction; BulkInsert (COPY) is the fast path for loading.
        d.bulkLoad = true;
        return;
    }
    if (!d.created)
        fail(kDatabaseSource, daoerr::InvalidOperation,
             QStringLiteral("Invalid operation: a bulk load is only allowed on a database being created."));
    if (d.transactionLevel > 0 || d.snapshot || d.bulkLoad)
        fail(kDatabaseSource, daoerr::InvalidOperation,
             QStringLiteral("Invalid operation: a bulk load cannot start inside a transaction."));
    m_journal = m_db.journalMode();
    d.releaseCursors(true);
    d.run("PRAGMA journal_mode=OFF");
    d.bulkLoad = true;
    d.restoreSync();
}

BulkLoad::~BulkLoad()
{
    if (!m_active)
        return;
    try {
        restore();
    } catch (...) {
        // Not persistent: the next connection opens the file with its
        // recorded journal mode and a full sync anyway.
    }
}

void BulkLoad::end()
{
    if (!m_active)
        return;
    restore();
}

void BulkLoad::restore()
{
    m_active = false;
    Database::Impl& d = DatabaseAccess::of(m_db);
    d.bulkLoad = false;
    if (d.pg) {
        while (d.transactionLevel > 0)
            m_db.Rollback();
        return;
    }
    // What is still open was never meant to stay.
    while (d.transactionLevel > 0)
        m_db.Rollback();
    d.releaseCursors(true);
    const QString wanted = m_journal.isEmpty() ? QStringLiteral("delete") : m_journal;
    d.run("PRAGMA journal_mode=" + wanted.toLatin1());
    d.restoreSync();
    if (m_db.journalMode() != wanted)
        fail(kDatabaseSource, errnum::Database,
             QStringLiteral("Cannot bring the journal mode back to %1 after a bulk load.").arg(wanted));
}

// ---- PreparedStatement ----------------------------------------------------------------

PreparedStatement::PreparedStatement(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
PreparedStatement::~PreparedStatement() = default;

int PreparedStatement::parameterCount() const
{
    if (d->db->pg)
        return int(d->names.size());
    return sqlite3_bind_parameter_count(d->stmt.get());
}

long PreparedStatement::execute(const Parameters& parameters)
{
    d->db->checkWritable(QStringLiteral("a statement"));
    if (d->db->pg)
        return d->db->pg->exec(d->pgSql, pgParameters(d->names, parameters, kDatabaseSource)).affected();
    sqlite3_stmt* s = d->stmt.get();
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    bindParameters(s, d->names, parameters, kDatabaseSource);
    const long changes = d->db->step(s);
    sqlite3_reset(s);
    return changes;
}

}  // namespace lg::dao
