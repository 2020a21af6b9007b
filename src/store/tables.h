#pragma once

// Table access: the one way the persistent classes reach the definition-store
// tables. It keeps one shared read-only table recordset per table for indexed
// look-ups, opens writable recordsets on demand with use counts, nests engine
// transactions by counting, and serialises writers of different processes
// through the lock table "excl_0" opened deny-write.
//
// A write follows this order (see WriteScope):
//   OpenTableForTransGroup(0), BeginTrs(0), OpenTableExclusive(table)
//   ... AddNew/Edit, GetNextID, SaveRecord, statements ...
//   CommitTrs(0) or RollbackTrs(0), CloseTableExclusive(table), CloseTableForTransGroup(0)
//
// All state is process-wide; calls come from one thread. Run-time errors leave
// with the source "modTables" and a trace line per function.

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QVariant>

#include <exception>
#include <memory>

#include "store/enums.h"

namespace lg::dao {
class Database;
class Recordset;
}  // namespace lg::dao

namespace lg::modTables {

inline constexpr const char* kSource = "modTables";

// Message and sub-message of the retry question asked while another process
// holds the write lock.
QString lockQuestionMessage();
QString lockQuestionSubMessage();

// Prepares table access on lg::ctx().database: table names, shared
// recordsets, lock table name. Throws when no database is set.
bool Initialize();
bool InitTableNames();
bool OpenTables();
bool Terminate();

// The library-wide database (lg::ctx().database); throws when none is set.
dao::Database& CurrentDatabase();

// Physical name of a definition-store table.
QString TableName(eTables table);

// The shared read-only recordset of a table (opens table access when needed).
dao::Recordset& SharedTable(eTables table);

// Positions the shared recordset of `table` on the first row whose index
// `indexName` matches all `keys` (1 to 6 values). The index is cleared again
// afterwards; the found row stays current. True when found.
bool TableSeekSpec(eTables table, const QString& indexName, const QList<QVariant>& keys);

// Transaction groups (only group 0 exists). Only the outermost BeginTrs starts
// an engine transaction; inner pairs only count. An inner RollbackTrs marks the
// group as failed: the outermost CommitTrs then rolls everything back and
// returns false, so work of a failed inner write is never committed.
bool BeginTrs(int group);
bool CommitTrs(int group);
bool RollbackTrs(int group);

// Writable table recordsets, counted per table.
bool OpenTableExclusive(eTables table);
bool CloseTableExclusive(eTables table);
// The writable recordset of a table opened with OpenTableExclusive; throws
// when it is not open.
dao::Recordset& ExclusiveTable(eTables table);

// The cross-process write lock. While another process holds it the user is
// asked (through the message service) whether to retry; "Nem" returns false.
bool OpenTableForTransGroup(int group);
bool CloseTableForTransGroup(int group);

// Always false: no reference check is made.
bool CheckValidID(const QString& idField, const QVariant& value, QString& description);

// Highest value of `fieldName` in `indexName` order plus one; 1 in an empty
// table. The recordset's index and position are restored.
long GetNextID(dao::Recordset& rs, const QString& indexName, const QString& fieldName);

// Stores the pending AddNew/Edit and makes the stored row current.
bool SaveRecord(dao::Recordset& rs);

// The field of the row with that id, or `defaultValue`.
QVariant LookupFieldValue(const QString& tableName, long id, const QString& fieldName,
                          const QVariant& defaultValue = QVariant());

// Variant type codes understood by NullToDefault.
namespace vt {
inline constexpr int Empty = 0, Null = 1, Integer = 2, Long = 3, Single = 4, Double = 5, Currency = 6, Date = 7,
                     String = 8, Object = 9, Variant = 12, Decimal = 14, Byte = 17, Array = 8192;
}
// `value` unless it is Null; then the empty value of the type code.
QVariant NullToDefault(const QVariant& value, int varType);

// Counters, for inspection (tests and diagnostics).
struct Counts {
    int transactions = 0;  // nesting depth of BeginTrs (group 0)
    int lockUses = 0;      // nesting depth of OpenTableForTransGroup (group 0)
    int exclusiveUses[kTableCount] = {};
    bool lockHeld = false;  // the lock table is open deny-write
};
Counts counts();

// Closes every recordset, forgets the database and zeroes every count.
// For a process that switches databases and for tests.
void Reset();

// The write sequence with guaranteed clean-up: the constructor runs the begin
// steps (lock, transaction, exclusive table); ok() tells whether they all
// succeeded. commit() or rollback() runs the end steps. A scope destroyed
// without either (an exception left the write) rolls back, releases the table
// and the lock, so a failed write never leaves anything half done or held.
class WriteScope {
public:
    explicit WriteScope(eTables table);
    ~WriteScope();
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;

    bool ok() const { return m_ok; }
    // Commits; when the commit fails it rolls back. True only when the commit
    // and both releases succeeded; a release that fails with an error throws
    // it after every release step has run.
    bool commit();
    // Rolls back and releases; true when all three steps succeeded. All three
    // run; the first error among them is thrown afterwards.
    bool rollback();

private:
    std::exception_ptr release(bool& okFlag);
    std::exception_ptr abandonFailedCommit();
    eTables m_table;
    bool m_locked = false;
    bool m_begun = false;
    bool m_opened = false;
    bool m_ok = false;
};

}  // namespace lg::modTables
