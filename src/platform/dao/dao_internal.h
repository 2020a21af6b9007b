#pragma once

// Shared between the parts of the database layer; not for other modules.

#include <QtCore/QByteArray>
#include <QtCore/QHash>
#include <QtCore/QString>

#include <sqlite3.h>

#include <memory>
#include <set>
#include <vector>

#include "platform/dao/dao.h"
#include "platform/jetsql/sqlitefunctions_jet.h"
#include "platform/runtimeerror.h"

namespace lg::dao {

inline const QString kDatabaseSource = QStringLiteral("DAO.Database");
inline const QString kRecordsetSource = QStringLiteral("DAO.Recordset");

// Error numbers of the database layer (the engine's own numbering).
namespace daoerr {
constexpr long InvalidArgument = 3001;
constexpr long ItemNotFoundInIndex = 3015;
constexpr long DuplicateValues = 3022;
constexpr long FieldTooSmall = 3163;
constexpr long RecordIsDeleted = 3167;
constexpr long ConversionError = 3421;
constexpr long NoCurrentIndex = 3019;
constexpr long UpdateWithoutEdit = 3020;
constexpr long NoCurrentRecord = 3021;
constexpr long ReadOnly = 3027;
constexpr long CommitWithoutBegin = 3034;
constexpr long CannotExecuteSelect = 3065;
constexpr long TableNotFound = 3078;
constexpr long NotAValidBookmark = 3159;
constexpr long InvalidOperation = 3219;
constexpr long NotSupported = 3251;
constexpr long TableLocked = 3262;
constexpr long ItemNotFound = 3265;
constexpr long TooFewParameters = 3061;
constexpr long ObjectClosed = 3420;
}  // namespace daoerr

[[noreturn]] void fail(const QString& source, long number, const QString& description);
// Throws the connection's last error message.
[[noreturn]] void failSqlite(const QString& source, sqlite3* db, int rc, const QByteArray& sql = {});

// Quotes an SQL identifier: "name" with inner quotes doubled.
QByteArray quoteIdent(const QString& name);

// ---- values --------------------------------------------------------------

// Reads column `col` of a stepped statement with the Jet meaning of `type`.
Value readColumn(sqlite3_stmt* stmt, int col, FieldType type);
// Appends column `col` as a TSV field (see tsv.h) without going through a Value where it can.
void appendTsvColumn(QByteArray& out, sqlite3_stmt* stmt, int col, FieldType type);
// Pieces of the same form for values read as text from the server (tsv.h):
// a text as it stands (false, writing nothing, when it is no valid UTF-8 or
// starts with a byte order mark: the decoded value is written instead), a
// date text "YYYY-MM-DD[ HH:MM:SS]" (false when it is no such date), a number.
bool appendTsvPlainText(QByteArray& out, const char* text, int n);
bool appendTsvDateText(QByteArray& out, const char* text, int n);
void appendTsvDouble(QByteArray& out, double d);
// Binds `value` to parameter `index` (1-based) as a column of `type` stores it
// (FieldType::Unknown: by the value's own type). The one place values meet
// the backend's parameters.
void bindValue(sqlite3_stmt* stmt, int index, const Value& value, FieldType type = FieldType::Unknown);
// Binds the values of `parameters` to the markers of `stmt`; `names` lists
// the name of each SQLite parameter (1-based number k at k-1), "" for a
// positional marker. Error 3061 when a marker has no value.
void bindParameters(sqlite3_stmt* stmt, const QStringList& names, const Parameters& parameters,
                    const QString& source);
// Brings a value into the shape a column of `type` takes (Yes/No to -1/0, dates to QDateTime).
Value normalizeForType(const Value& value, FieldType type);

// A value as a field of `f` takes it (whole numbers rounded half to even,
// Currency to four decimals, Yes/No, dates), or error 3421 (3163 for text
// longer than the field when `checkSize`). Shared by both backends.
Value checkFieldValue(const FieldDef& f, const Value& value, bool checkSize);

// An owned copy of an SQLite value, bound back unchanged (keys of the current row).
struct SqlValue {
    sqlite3_value* v = nullptr;
    SqlValue() = default;
    explicit SqlValue(sqlite3_value* from) : v(from ? sqlite3_value_dup(from) : nullptr) {}
    SqlValue(const SqlValue& o) : v(o.v ? sqlite3_value_dup(o.v) : nullptr) {}
    SqlValue(SqlValue&& o) noexcept : v(o.v) { o.v = nullptr; }
    SqlValue& operator=(SqlValue o) noexcept
    {
        std::swap(v, o.v);
        return *this;
    }
    ~SqlValue() { sqlite3_value_free(v); }
    bool isNull() const { return !v || sqlite3_value_type(v) == SQLITE_NULL; }
};

// ---- schema ------------------------------------------------------------------

struct IndexInfo {
    IndexDef def;
    QList<int> columns;  // column positions in the table
    QList<bool> descending;
};

struct TableInfo {
    QString name;
    bool isView = false;
    int rowidAlias = -1;  // the INTEGER PRIMARY KEY column, if any
    QList<FieldDef> fields;
    QList<IndexInfo> indexes;
    const IndexInfo* index(const QString& jetName) const;
    int column(const QString& name) const;  // -1 when missing
};

// ---- statements ---------------------------------------------------------------

// A prepared statement on loan from the connection's cache; returned (reset) on destruction.
class Stmt {
public:
    Stmt() = default;
    Stmt(Database::Impl* owner, sqlite3_stmt* stmt, QByteArray sql)
        : m_owner(owner), m_stmt(stmt), m_sql(std::move(sql))
    {
    }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    Stmt(Stmt&& o) noexcept { *this = std::move(o); }
    Stmt& operator=(Stmt&& o) noexcept;
    ~Stmt() { release(); }

    sqlite3_stmt* get() const { return m_stmt; }
    explicit operator bool() const { return m_stmt != nullptr; }
    const QByteArray& sql() const { return m_sql; }
    void release();

private:
    Database::Impl* m_owner = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    QByteArray m_sql;
};

class RecordsetBase;
struct PgSession;

struct Database::Impl {
    sqlite3* db = nullptr;
    std::unique_ptr<PgSession> pg;  // set instead of `db` for a PostgreSQL database
    QString path;
    QString password;
    long recordsAffected = 0;
    int transactionLevel = 0;
    bool created = false;    // this connection created the file
    bool wal = false;        // write-ahead logging (synchronous NORMAL between transactions)
    bool snapshot = false;   // a ReadSnapshot holds a read transaction
    bool bulkLoad = false;   // a BulkLoad is active
    QHash<QByteArray, std::vector<sqlite3_stmt*>> freeStatements;
    QHash<QString, std::shared_ptr<const TableInfo>> tableInfos;  // by lower-case name
    std::set<Recordset::Impl*> recordsets;                        // the open ones

    ~Impl();

    // A prepared statement for one SQL statement, from the cache when possible.
    Stmt prepare(const QByteArray& sql, const QString& source = kDatabaseSource);
    void giveBack(const QByteArray& sql, sqlite3_stmt* stmt);
    // Runs SQL that returns no rows (several statements allowed); returns the changes made.
    long run(const QByteArray& sql, const QString& source = kDatabaseSource);

    // Steps a prepared statement that returns no rows to its end; the changes made.
    long step(sqlite3_stmt* stmt, const QString& source = kDatabaseSource);
    // The sync level between transactions (NORMAL with WAL, FULL otherwise, OFF in a bulk load).
    void restoreSync();

    // Refuses writes and transactions while a read snapshot is held.
    void checkWritable(const QString& what) const;

    std::shared_ptr<const TableInfo> tableInfo(const QString& name);  // null when there is none
    void forgetSchema();

    // Lets every open recordset give up its statement so the connection holds
    // no read snapshot; `all` also includes statements read half-way.
    void releaseCursors(bool all);
};

struct PreparedStatement::Impl {
    std::shared_ptr<Database> database;
    Database::Impl* db = nullptr;
    Stmt stmt;
    QStringList names;  // per SQLite parameter, "" for positional
    QByteArray pgSql;   // the statement on PostgreSQL
};

// The connection behind a Database, for the parts of the layer (and its own tests).
struct DatabaseAccess {
    static Database::Impl& of(const Database& db) { return *db.d; }
};
inline sqlite3* connectionOf(const Database& db)
{
    return DatabaseAccess::of(db).db;
}

// ---- recordsets --------------------------------------------------------------

struct Recordset::Impl {
    std::shared_ptr<Database> database;
    Database::Impl* db = nullptr;
    bool readOnly = false;
    bool open = true;

    Impl(std::shared_ptr<Database> owner, Database::Impl* connection);
    virtual ~Impl();

    virtual bool bof() const = 0;
    virtual bool eof() const = 0;
    virtual void moveFirst() = 0;
    virtual void moveNext() = 0;
    virtual void movePrevious() = 0;
    virtual void moveLast() = 0;
    virtual void move(long rows);
    virtual long recordCount() const = 0;

    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    virtual FieldType fieldType(int index) const = 0;
    virtual int fieldIndex(const QString& name) const = 0;
    virtual Value field(int index) const = 0;

    virtual QByteArray bookmark() const = 0;
    virtual void setBookmark(const QByteArray& bookmark) = 0;

    // Drops the statement (see Database::Impl::releaseCursors).
    virtual void releaseCursor(bool all) = 0;
    virtual void close();

    // Table-type only; the defaults refuse.
    virtual QString index() const;
    virtual void setIndex(const QString& name);
    virtual void seek(const QString& comparison, const QList<Value>& keys);
    virtual bool noMatch() const { return false; }
    virtual void addNew();
    virtual void edit();
    virtual void setField(const QString& name, const Value& value);
    virtual void update();
    virtual void cancelUpdate();
    virtual EditMode editMode() const { return EditMode::None; }
    // The current row's fields in the TSV form (tsv.h), tab-separated, when
    // the recordset has a faster way than its values; false otherwise.
    virtual bool appendTsvRow(QByteArray&) const { return false; }
    virtual QByteArray lastModified() const { return {}; }

    bool lockEdits = true;

    // See detail::CurrentRow; kept by statement recordsets.
    detail::CurrentRow row;

    [[noreturn]] void notSupported() const;
    [[noreturn]] static void failClosed();
    void checkOpen() const
    {
        if (!open)
            failClosed();
    }
};

std::unique_ptr<Recordset::Impl> makeStatementRecordset(std::shared_ptr<Database> db, Database::Impl* impl,
                                                        const QByteArray& sql, RecordsetType type,
                                                        const QStringList& parameterNames, const Parameters& parameters);
std::unique_ptr<Recordset::Impl> makeTableRecordset(std::shared_ptr<Database> db, Database::Impl* impl,
                                                    std::shared_ptr<const TableInfo> table, int options);

}  // namespace lg::dao
