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
// "DAO.Database" / "DAO.Recordset".
//
// How the loose corners of the model are settled here:
//   - a Database and its recordsets belong to one thread at a time;
//   - the file is kept in write-ahead-log mode: readers and a writer of other
//     processes do not block each other, and a killed process leaves the file
//     as of its last commit. Engine transactions commit with a full sync;
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

#include <memory>

#include <sqlite3.h>

#include "platform/jetsql/jettypes.h"

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
    int size = 0;  // Text(n)
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

// Reads column `col` of a stepped statement with the Jet meaning of `type`.
Value readColumn(sqlite3_stmt* stmt, int col, jetsql::JetType type);

// The same, with the common cases (whole numbers, numbers and texts in
// columns of their own type) read in place.
[[gnu::always_inline]] inline Value readColumnFast(sqlite3_stmt* stmt, int col, jetsql::JetType type)
{
    using T = jetsql::JetType;
    // One look-up of the column; the value calls are plain reads.
    sqlite3_value* v = sqlite3_column_value(stmt, col);
    const int storage = sqlite3_value_type(v);
    switch (type) {
    case T::Long:
    case T::Integer:
    case T::Counter:
        if (storage == SQLITE_INTEGER)
            return Value(qlonglong(sqlite3_value_int64(v)));
        break;
    case T::Double:
    case T::Currency:
        if (storage == SQLITE_FLOAT)
            return Value(sqlite3_value_double(v));
        break;
    case T::Text:
    case T::Memo:
        if (storage == SQLITE_TEXT) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
            // Built in place: no copy of the text into the value.
            Value out{QMetaType::fromType<QString>()};
            *static_cast<QString*>(out.data()) = QString::fromUtf8(t, sqlite3_value_bytes(v));
            return out;
        }
        break;
    default:
        break;
    }
    if (storage == SQLITE_NULL)
        return Value();
    return readColumn(stmt, col, type);
}

}  // namespace detail

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
            return detail::readColumnFast(row.stmt, index, row.types[index]);
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

class Database : public std::enable_shared_from_this<Database> {
public:
    // Opens (creating when missing) the database at `path`. The password is
    // kept for the report engine's connection string; SQLite files have none.
    static std::shared_ptr<Database> open(const QString& path, const QString& password = {});
    ~Database();

    QString Name() const;  // the file path
    QString password() const;

    // Runs one Jet statement that returns no rows.
    void Execute(const QString& jetSql, int options = 0);
    long RecordsAffected() const;

    // A table name ("name" or "[name]") opens a table-type recordset
    // (RecordsetType::Table or Dynaset; Snapshot and ForwardOnly read it as a
    // statement); a view name or anything else is a Jet statement.
    // dbDenyWrite on a table takes its cross-process write lock (error 3262
    // while another process holds it; uses in this process are counted).
    std::shared_ptr<Recordset> OpenRecordset(const QString& source, RecordsetType type = RecordsetType::Dynaset,
                                             int options = 0);

    QList<TableDef> TableDefs() const;
    bool hasTable(const QString& name) const;  // tables and views, case-insensitive
    TableDef tableDef(const QString& name) const;

    // Engine transactions; they nest. An inner Rollback undoes only the work
    // since the matching BeginTrans.
    void BeginTrans();
    void CommitTrans(int options = 0);
    void Rollback();
    int transactionLevel() const;

    void Idle(int options = 0);

    sqlite3* handle() const;

    struct Impl;

private:
    Database();
    std::unique_ptr<Impl> d;
    friend class Recordset;
};

}  // namespace lg::dao
