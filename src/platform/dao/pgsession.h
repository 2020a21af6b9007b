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
// Appends a result cell as a TSV field (tsv.h).
void appendPgTsv(QByteArray& out, const PGresult* r, int row, int col, Oid type);

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

    std::shared_ptr<const TableInfo> tableInfo(const QString& name);
    QStringList tableNames();
    void forgetSchema() { tableInfos.clear(); }

    // The cross-process lock of a table: a session advisory lock taken
    // without waiting (error 3262 while another session holds it), counted.
    void lockTable(const QString& table);
    void unlockTable(const QString& table);
};

// Throws the result's error with Jet's number for its SQLSTATE.
// `sql` tells a write (INSERT, UPDATE) from a read for the errors whose
// number depends on it.
[[noreturn]] void failPg(const QString& source, const PGresult* result, PGconn* conn, const QByteArray& sql = {});

// Parameter values of a translated statement in the order of $1, $2 …
PgParams pgParameters(const QStringList& names, const Parameters& parameters, const QString& source);

std::unique_ptr<Recordset::Impl> makePgStatementRecordset(std::shared_ptr<Database> db, Database::Impl* impl,
                                                          const QByteArray& sql, PgParams params,
                                                          const QStringList& columnNames = {});
std::unique_ptr<Recordset::Impl> makePgTableRecordset(std::shared_ptr<Database> db, Database::Impl* impl,
                                                      std::shared_ptr<const TableInfo> table, int options);

}  // namespace lg::dao
