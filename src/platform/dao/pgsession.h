#pragma once

// The PostgreSQL side of the database layer; not for other modules. A
// Database opened by a postgresql:// URI holds one PgSession: one libpq
// connection, the schema it has read, its transaction levels (the outermost
// BEGIN, inner ones savepoints) and the table locks it holds as session
// advisory locks.

#include <QtCore/QByteArray>
#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <libpq-fe.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/dao/dao_internal.h"

namespace lg::dao {

// Whether a database name is a PostgreSQL connection URI.
bool isPostgresUri(const QString& name);

// One result, cleared when it goes.
class PgResult {
public:
    PgResult() = default;
    explicit PgResult(PGresult* r) : m_r(r) {}
    PgResult(PgResult&& o) noexcept : m_r(o.m_r) { o.m_r = nullptr; }
    PgResult& operator=(PgResult&& o) noexcept
    {
        std::swap(m_r, o.m_r);
        return *this;
    }
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;
    ~PgResult() { PQclear(m_r); }

    PGresult* get() const { return m_r; }
    int rows() const { return PQntuples(m_r); }
    int columns() const { return PQnfields(m_r); }
    bool isNull(int row, int col) const { return PQgetisnull(m_r, row, col); }
    QString text(int row, int col) const { return QString::fromUtf8(PQgetvalue(m_r, row, col)); }
    long affected() const { return QByteArray(PQcmdTuples(m_r)).toLong(); }

private:
    PGresult* m_r = nullptr;
};

// Values for $1, $2 … in text form, with their PostgreSQL types.
struct PgParams {
    std::vector<QByteArray> values;
    std::vector<Oid> types;
    std::vector<char> nulls;
    void add(const Value& value, FieldType type = FieldType::Unknown);
};

// The Jet type of a result column (by its type and modifier).
FieldType pgFieldType(Oid type, int modifier);
// The value of a result cell with the Jet meaning of its column type.
Value pgValue(const PGresult* r, int row, int col, Oid type);
// Appends a result cell as a TSV field (tsv.h), as appendTsvValue() would
// write its pgValue(), mostly straight from the text.
void appendPgTsv(QByteArray& out, const PGresult* r, int row, int col, Oid type, FieldType fieldType);

// Rows gathered for one COPY into a table (see BulkInsert).
struct PgCopy {
    QByteArray command;  // COPY "t" ("a", "b") FROM STDIN
    QByteArray data;     // text format lines
};

struct PgSession {
    PGconn* conn = nullptr;
    QString uri;
    int cursorNumber = 0;
    int savepoints = 0;  // transaction levels beyond the outermost
    QHash<QString, std::shared_ptr<const TableInfo>> tableInfos;  // by lower-case name
    QHash<QString, int> tableLocks;                               // advisory locks held, by lower-case table
    std::vector<PgCopy*> pendingCopies;                           // gathered rows not sent yet
    // A failure no caller could hear (rows sent by a destructor): the
    // transaction that is open does not commit.
    std::optional<RuntimeError> lostFailure;

    // Forward-only recordsets opened outside a transaction read their cursor
    // in a transaction of their own, so that the rows stream from the server
    // as they are fetched (a cursor held past a commit is first computed in
    // full). Any other statement ends that transaction first: the cursors
    // then keep the rest of their rows, as they would have from the start.
    bool streamTransaction = false;  // the open transaction is the cursors'
    int streamCursors = 0;           // cursors reading in it
    int streamNumber = 0;            // of the last such transaction
    // Why the rest of the streaming cursors' rows could not be kept, and
    // the transaction they were in.
    std::optional<RuntimeError> streamFailure;
    int streamFailureNumber = 0;
    // Opens the cursors' transaction; false when another one is open.
    bool beginStream();
    // Ends the cursors' transaction (the other statement's turn).
    void endStream();
    // A cursor gone: the last one ends the cursors' transaction.
    void releaseStream();

    // Sends one COPY's rows (and forgets them); sendCopies() sends all.
    void sendCopy(PgCopy& copy);
    void sendCopies();

    ~PgSession();

    // Connects; throws with libpq's reason.
    void connect(const QString& uri);

    // Transaction control (BEGIN, SAVEPOINT, COMMIT …), run as it stands.
    void control(const QByteArray& sql);

    // Runs SQL (several statements allowed when there are no parameters).
    // Inside a transaction a failing statement undoes only itself, as in Jet
    // (PostgreSQL would refuse every later statement of the transaction).
    PgResult exec(const QByteArray& sql, const QString& source = kDatabaseSource);
    PgResult exec(const QByteArray& sql, const PgParams& params, const QString& source = kDatabaseSource);
    // A cursor's own statement (DECLARE, FETCH, MOVE): run in the cursors'
    // transaction when there is one, otherwise as exec().
    PgResult cursorExec(const QByteArray& sql, const PgParams& params = {});

    std::shared_ptr<const TableInfo> tableInfo(const QString& name);
    QStringList tableNames();
    void forgetSchema()
    {
        tableInfos.clear();
        // A plan may stand on a table that has changed.
        if (!prepared.isEmpty()) {
            prepared.clear();
            deallocate = true;
        }
    }

    // Statements run again and again (the keyset queries of table-type
    // recordsets) are prepared once per connection: the server plans them
    // once. By text and parameter types.
    QHash<QByteArray, QByteArray> prepared;
    bool deallocate = false;  // the server still holds plans forgotten here
    // exec() of a prepared statement.
    PgResult execPrepared(const QByteArray& sql, const PgParams& params, const QString& source = kDatabaseSource);

    // The cross-process lock of a table: a session advisory lock taken
    // without waiting (error 3262 while another session holds it), counted.
    void lockTable(const QString& table);
    void unlockTable(const QString& table);

private:
    PgResult run(const QByteArray& sql, const PgParams& params, bool prepare = false);
    PgResult execute(const QByteArray& sql, const PgParams& params, const QString& source, bool prepare);
};

// Throws the result's error with Jet's number for its SQLSTATE.
// `sql` tells a write (INSERT, UPDATE) from a read for the errors whose
// number depends on it.
[[noreturn]] void failPg(const QString& source, const PGresult* result, PGconn* conn, const QByteArray& sql = {});

// Parameter values of a translated statement in the order of $1, $2 …
PgParams pgParameters(const QStringList& names, const Parameters& parameters, const QString& source);

std::unique_ptr<Recordset::Impl> makePgStatementRecordset(std::shared_ptr<Database> db, Database::Impl* impl,
                                                          const QByteArray& sql, PgParams params,
                                                          const QStringList& columnNames = {},
                                                          bool forwardOnly = false);
std::unique_ptr<Recordset::Impl> makePgTableRecordset(std::shared_ptr<Database> db, Database::Impl* impl,
                                                      std::shared_ptr<const TableInfo> table, int options);

}  // namespace lg::dao
