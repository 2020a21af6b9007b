#pragma once

// A DAO-shaped database API over SQLite. Statements are Jet SQL; they are
// translated (lg::jetsql) into the backend's dialect before they run, and the
// values that come back keep Jet's meaning:
//
//   - a field value is a QVariant; Null is an invalid QVariant (`isNull`),
//     kept apart from the empty string;
//   - whole numbers (Long, Integer, Counter, Yes/No) come back as qlonglong,
//     Yes/No as -1 / 0; Double and Currency as double; Text and Memo as
//     QString; Date/Time as QDateTime (local time spec, no time zone maths).
//
// Failures throw lg::RuntimeError with the backend's message and the source
// "DAO.Database" / "DAO.Recordset". A name the statement does not know (a
// column of no table in it) is error 3061 "Too few parameters. Expected 1."
// followed by the name: a double-quoted word is never taken for a text.
//
// Values go into statements as parameters, never pasted into the text:
// Execute, OpenRecordset and PreparedStatement take positional values for the
// markers `?` (in order) or named ones for `@name` (names case-insensitive).
// A value binds by its type: whole numbers, doubles, bool as Jet's -1 / 0,
// QString, QByteArray, QDate / QDateTime / QTime as the canonical date text
// every date column holds; an invalid or null QVariant is SQL Null, and the
// empty string stays an empty string. A marker without a value is error 3061.
//
// Transactions: `Transaction` begins in its constructor, commits on
// commit() and rolls back when it goes out of scope uncommitted (the
// destructor never throws). Guards nest like BeginTrans: an inner one is a
// savepoint, and its rollback undoes only its own work. `ReadSnapshot`
// holds one consistent view of the database for several recordsets in a row
// (a deferred read transaction: no write lock is taken, writers of other
// connections go on); inside a transaction it does nothing, the transaction
// already is one view.
//
// How the loose corners of the model are settled here:
//   - a Database and its recordsets belong to one thread at a time;
//   - the journal mode of a host's database is the host's: opening keeps it.
//     A database this library creates (a new file) is put in write-ahead-log
//     mode, where readers and a writer of other processes do not block each
//     other; dbOpenWriteAheadLog asks for it on an existing file and
//     dbOpenRollbackJournal keeps a new file self-contained. Either way a
//     killed process leaves the file as of its last commit, and engine
//     transactions commit with a full sync;
//   - a bulk load (BulkLoad) writes without journal and sync; it is allowed
//     only on a database this connection created, since a failure leaves the
//     file unusable;
//   - RecordCount is the exact number of rows (counted without reading them
//     when the end has not been reached yet);
//   - statement recordsets stream: rows are stepped as the caller moves and
//     never held; going back runs the statement again up to the wanted row,
//     and their bookmarks are row positions. Dynasets over statements are
//     read-only: writes go through table-type recordsets or Execute;
//   - table-type recordsets read in index order straight from the index (no
//     table load); their bookmarks follow the row (its rowid). Setting Index
//     makes the first record of the new order current. A Seek without match
//     leaves no current record (EOF). After Update of an AddNew the current
//     record is the one before AddNew and LastModified is the new row; after
//     Update of an Edit the edited row stays current at its new place;
//   - Idle (any option) lets table cursors give up their read snapshot; they
//     find their place again on the next move.

#include <QtCore/QByteArray>
#include <QtCore/QDateTime>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

#include <QtCore/QVariantHash>
#include <QtCore/QVariantList>
#include <QtCore/QVariantMap>

#include <memory>

#include "platform/jetsql/jettypes.h"
#include "platform/jetsql/translate.h"

struct sqlite3_stmt;

namespace lg::dao {

using Value = QVariant;
inline bool isNull(const Value& v)
{
    return !v.isValid() || v.isNull();
}

// Whether a value of this meta type is a number (integers of any width, float, double).
bool isNumericType(int typeId);
inline bool isNumber(const Value& v) { return isNumericType(v.typeId()); }

using FieldType = jetsql::JetType;

struct FieldDef {
    QString name;
    FieldType type = FieldType::Unknown;
    int size = 0;  // Text(n); the bytes of a whole number: 1 Byte, 2 Integer, 4 Long
    bool required = false;
    Value defaultValue;
};

struct IndexDef {
    QString name;
    QString fields;  // as DAO shows them: "+list_id;+sort_order;-date"
    bool primary = false;
    bool unique = false;
    QStringList fieldNames() const;  // without the +/- signs
};

struct TableDef {
    QString name;
    bool isQuery = false;  // a view (a saved query of the host)
    QList<FieldDef> fields;
    QList<IndexDef> indexes;
    const FieldDef* field(const QString& name) const;  // case-insensitive
    const IndexDef* index(const QString& name) const;  // case-insensitive
};

enum class RecordsetType {
    Table,        // a table opened by name: Index/Seek/AddNew/Edit
    Dynaset,      // a statement; updatable when it reads one table
    Snapshot,     // a statement, read-only
    ForwardOnly,  // a statement, read-only, streamed
};

// Options of OpenRecordset, combinable.
enum OpenOption : int {
    dbDenyWrite = 0x1,  // other processes may not write the table: takes the cross-process lock
    dbReadOnly = 0x4,
    dbSeeChanges = 0x200,
};

// Options of Database::open, combinable.
enum DatabaseOption : int {
    dbOpenWriteAheadLog = 0x1,    // switch an existing database to write-ahead logging
    dbOpenRollbackJournal = 0x2,  // a new database keeps the rollback journal (one self-contained file)
};

// Options of CommitTrans and Idle.
enum : int {
    dbForceOSFlush = 0x1,
    dbFreeLocks = 0x1,
};

enum class EditMode { None, Edit, AddNew };

class Database;

namespace detail {

// The row a statement recordset stands on, kept by the recordset: while
// `stmt` is set, the statement stands on the current row and its columns
// are read without further checks. Null otherwise (always for table-type
// recordsets).
struct CurrentRow {
    sqlite3_stmt* stmt = nullptr;
    const jetsql::JetType* types = nullptr;
    int columns = 0;
};

// Reads column `col` of the row `row` stands on (`row.stmt` set, `col` in range).
Value readCurrent(const CurrentRow& row, int col);

}  // namespace detail

// Values for the parameter markers of a statement: positional (`?`, in
// order) or named (`@name`, case-insensitive), not both. Pass them as
// QVariantList{...} or QVariantMap{...}.
class Parameters {
public:
    Parameters() = default;
    Parameters(QVariantList positional) : m_positional(std::move(positional)) {}
    Parameters(const QVariantMap& named);
    Parameters(const QVariantHash& named);

    bool isEmpty() const { return m_positional.isEmpty() && m_named.isEmpty(); }
    const QVariantList& positional() const { return m_positional; }
    // Named values by lower-case name.
    const QVariantHash& named() const { return m_named; }

private:
    QVariantList m_positional;
    QVariantHash m_named;
};

class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // --- reading ---------------------------------------------------------
    bool Bof() const;
    bool Eof() const
    {
        if (m_row->stmt)
            return false;
        return eofChecked();
    }
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    void Move(long rows);      // Move(0) re-reads the current row
    long RecordCount() const;  // the exact number of rows

    int FieldCount() const;
    QString FieldName(int index) const;
    FieldType FieldTypeOf(int index) const;
    int FieldIndex(const QString& name) const;  // -1 when there is none; case-insensitive
    Value Fields(const QString& name) const;    // throws for an unknown name
    Value Fields(int index) const
    {
        const detail::CurrentRow& row = *m_row;
        if (row.stmt && unsigned(index) < unsigned(row.columns))
            return detail::readCurrent(row, index);
        return fieldChecked(index);
    }

    // Up to `rows` rows from the current one on (all with -1), moving past them.
    QList<QList<Value>> GetRows(long rows = -1);
    // The current row as one line of tab-separated text, newline included,
    // appended as UTF-8 (the form of tsv.h; read straight from the database
    // where possible).
    void appendTsvRow(QByteArray& out) const;

    void Close();
    bool isOpen() const;

    // --- table-type recordsets ------------------------------------------------
    QString Index() const;
    void setIndex(const QString& name);  // "PrimaryKey" or an index name of the table
    // comparison "=", ">=", ">", "<=", "<"; 1 to 13 key values, a prefix of the index keys
    void Seek(const QString& comparison, const QList<Value>& keys);
    bool NoMatch() const;

    void AddNew();
    void Edit();
    void setField(const QString& name, const Value& value);
    void Update();
    void CancelUpdate();
    EditMode editMode() const;

    QByteArray Bookmark() const;
    void setBookmark(const QByteArray& bookmark);
    QByteArray LastModified() const;

    bool LockEdits() const;
    void setLockEdits(bool pessimistic);  // kept, no effect: each write locks the file briefly

    struct Impl;

private:
    friend class Database;
    explicit Recordset(std::unique_ptr<Impl> impl);
    bool eofChecked() const;
    Value fieldChecked(int index) const;
    std::unique_ptr<Impl> d;
    const detail::CurrentRow* m_row;  // the Impl's, for the reads above
};

class PreparedStatement;
struct DatabaseAccess;

class Database : public std::enable_shared_from_this<Database> {
public:
    // Opens (creating when missing) the database at `path`, or the
    // PostgreSQL database of a connection URI ("postgresql://…"; its collation
    // and functions are installed on first use); `options` are
    // DatabaseOption flags (SQLite only). The password is kept for the report engine's
    // connection string; SQLite files have none.
    static std::shared_ptr<Database> open(const QString& path, const QString& password = {}, int options = 0);
    // Whether a database name is a server's connection URI rather than a file.
    static bool isUri(const QString& name);
    // Whether there is a database to open by this name: a file, or any URI
    // (the server answers when it is opened).
    static bool exists(const QString& name);
    ~Database();

    QString Name() const;  // the file path
    QString password() const;
    // Whether this connection created the file (it did not exist or was empty).
    bool created() const;
    // The journal mode in use, lower case: "wal", "delete", "truncate", "persist", "memory", "off".
    QString journalMode() const;

    // The dialect its statements are translated into; whether it is a
    // PostgreSQL database (opened by a postgresql:// URI).
    jetsql::Dialect dialect() const;
    bool isPostgres() const;

    // The database engine underneath and its version: "SQLite", "3.45.1".
    static QString backendName();
    static QString backendVersion();

    // Runs one Jet statement that returns no rows.
    void Execute(const QString& jetSql, int options = 0);
    void Execute(const QString& jetSql, const Parameters& parameters, int options = 0);
    long RecordsAffected() const;

    // A table name ("name" or "[name]") opens a table-type recordset
    // (RecordsetType::Table or Dynaset; Snapshot and ForwardOnly read it as a
    // statement); a view name or anything else is a Jet statement.
    // dbDenyWrite on a table takes its cross-process write lock (error 3262
    // while another process holds it; uses in this process are counted).
    std::shared_ptr<Recordset> OpenRecordset(const QString& source, RecordsetType type = RecordsetType::Dynaset,
                                             int options = 0);
    // A statement with parameter markers and their values.
    std::shared_ptr<Recordset> OpenRecordset(const QString& jetSql, const Parameters& parameters,
                                             RecordsetType type = RecordsetType::Snapshot, int options = 0);

    // A statement that returns no rows, translated once and run many times
    // with different values (bulk inserts).
    std::unique_ptr<PreparedStatement> prepare(const QString& jetSql);

    QList<TableDef> TableDefs() const;
    bool hasTable(const QString& name) const;  // tables and views, case-insensitive
    TableDef tableDef(const QString& name) const;

    // Engine transactions; they nest. An inner Rollback undoes only the work
    // since the matching BeginTrans. Prefer the Transaction guard.
    void BeginTrans();
    void CommitTrans(int options = 0);
    void Rollback();
    int transactionLevel() const;

    void Idle(int options = 0);

    struct Impl;

private:
    Database();
    std::unique_ptr<Impl> d;
    friend class Recordset;
    friend struct DatabaseAccess;
};

// An engine transaction for the lifetime of the object: begun by the
// constructor, committed by commit(), rolled back by the destructor (or
// rollback()) otherwise. Nested guards are savepoints.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Commits this level. Throws while an inner level is still open (this
    // guard then stays open and rolls back when it goes).
    void commit(int options = dbForceOSFlush);
    // Undoes the work of this level (and of inner levels left open). No-op
    // after commit or rollback.
    void rollback();
    bool active() const { return m_active; }

private:
    Database& m_db;
    int m_level;  // the engine's level before this guard
    bool m_active = true;
};

// One consistent view of the database for several reads in a row. Takes no
// write lock; a no-op inside a transaction (or another snapshot). While it is
// held, this connection cannot begin a transaction or write.
class ReadSnapshot {
public:
    explicit ReadSnapshot(Database& db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

    // Whether this guard holds the snapshot (false when it is a no-op).
    bool holds() const { return m_holds; }

private:
    Database& m_db;
    bool m_holds = false;
};

// Loading a database this connection created: while the object lives,
// writes go without journal and without sync; the previous settings come back
// when it goes. Refused (error 3219) on a database the connection did not
// create or inside a transaction.
class BulkLoad {
public:
    explicit BulkLoad(Database& db);
    ~BulkLoad();
    BulkLoad(const BulkLoad&) = delete;
    BulkLoad& operator=(const BulkLoad&) = delete;

    // Brings journal and sync back and reports a failure to do so; the
    // destructor does the same silently when end() was not called.
    void end();

private:
    void restore();
    Database& m_db;
    QString m_journal;
    bool m_active = true;
};

// Many rows into one table: on SQLite a prepared INSERT, on PostgreSQL COPY
// (rows are gathered and sent in blocks; any other statement of the
// connection first sends what is gathered, so reads see every row added).
// Values are checked by the column types as the table-type recordset checks
// them. Meant for loading, inside the caller's transaction.
class BulkInsert {
public:
    BulkInsert(Database& db, const QString& table, const QStringList& columns);
    // Sends what is left, silently: call finish() to hear about failures.
    ~BulkInsert();
    BulkInsert(const BulkInsert&) = delete;
    BulkInsert& operator=(const BulkInsert&) = delete;

    // Values in column order.
    void add(const QVariantList& values);
    // Sends what is gathered; throws what the database refused.
    void finish();
    long rows() const;

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

// A statement prepared once and run many times: bind the values, execute,
// bind the next ones. The previous values are dropped by every execute.
class PreparedStatement {
public:
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    // Runs the statement with these values; returns the rows it changed.
    long execute(const Parameters& parameters);
    int parameterCount() const;

    struct Impl;

private:
    friend class Database;
    explicit PreparedStatement(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

}  // namespace lg::dao
