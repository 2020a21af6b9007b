#include "store/tables.h"

#include "platform/strings.h"

#include <QtCore/QHash>
#include <QtCore/QRegularExpression>

#include <exception>

#include "platform/dao/dao.h"
#include "platform/message.h"
#include "platform/runtimeerror.h"
#include "store/context.h"

namespace lg::modTables {

namespace {

constexpr int kGroups = 1;  // transaction groups: only group 0 exists

// Table numbers in the order the shared recordsets are opened.
constexpr eTables kOpenOrder[] = {tListAuthUnit,           tListReport,           tListReportGroupField,
                                  tListReportVisibleField, tListReportWhereField, tListWizardTable,
                                  tListWizardTableField,   tListWizardType,       tListWizardTableTypeConn};

struct State {
    std::shared_ptr<dao::Database> db;  // the database the recordsets belong to
    QString tableNames[kTableCount];
    QHash<QString, std::shared_ptr<dao::Recordset>> shared;    // "0" .. "8"
    QHash<QString, std::shared_ptr<dao::Recordset>> writable;  // "0" .. "8", "0TG"
    qint16 exclusiveUses[kTableCount] = {};
    qint16 transactions[kGroups] = {};
    qint16 lockUses[kGroups] = {};
    bool failed[kGroups] = {};  // an inner RollbackTrs happened in the open group
    std::unique_ptr<dao::Transaction> transaction;  // the engine transaction of the outermost BeginTrs
    QString lockTableNames[kGroups];
};

State& state()
{
    static State s;
    return s;
}

QString key(int n)
{
    return QString::number(n);
}
QString groupKey(int group)
{
    return QString::number(group) + QStringLiteral("TG");
}

const QString& source()
{
    static const QString s = QString::fromLatin1(kSource);
    return s;
}

template <class F> auto fn(const char* name, F&& body)
{
    return traced(source(), TraceKind::Function, QString::fromLatin1(name), std::forward<F>(body));
}

dao::Database& database()
{
    State& s = state();
    if (!s.db)
        throw RuntimeError(errnum::Internal, source(), QStringLiteral("Not exists database"));
    return *s.db;
}

bool validGroup(int group)
{
    return group >= 0 && group < kGroups;
}

void ensureInitialized()
{
    State& s = state();
    if (!s.db || s.db != ctx().database || s.shared.size() != kTableCount)
        Initialize();
}

}  // namespace

dao::Database& CurrentDatabase()
{
    if (!ctx().database)
        throw RuntimeError(errnum::Internal, source(), QStringLiteral("Not exists database"));
    return *ctx().database;
}

QString lockQuestionMessage()
{
    return LoadResString(7244);
}

QString lockQuestionSubMessage()
{
    return LoadResString(7245);
}

bool Initialize()
{
    return fn("Initialize", [] {
        State& s = state();
        if (!ctx().database)
            throw RuntimeError(errnum::Internal, source(), QStringLiteral("Not exists database"));
        if (s.db != ctx().database) {
            // Another database: nothing of the old one may be used any more.
            Reset();
            s.db = ctx().database;
        }
        if (!InitTableNames() || !OpenTables())
            return false;
        s.lockTableNames[0] = QStringLiteral("excl_0");
        return true;
    });
}

bool InitTableNames()
{
    State& s = state();
    s.tableNames[tListReport] = QStringLiteral("vlq_list_report");
    s.tableNames[tListReportGroupField] = QStringLiteral("vlq_list_report_group_field");
    s.tableNames[tListReportVisibleField] = QStringLiteral("vlq_list_report_visible_field");
    s.tableNames[tListReportWhereField] = QStringLiteral("vlq_list_report_where_field");
    s.tableNames[tListWizardTable] = QStringLiteral("vlq_list_wizard_table");
    s.tableNames[tListWizardTableField] = QStringLiteral("vlq_list_wizard_table_field");
    s.tableNames[tListWizardTableTypeConn] = QStringLiteral("vlq_list_wizard_table_type_connection");
    s.tableNames[tListWizardType] = QStringLiteral("vlq_list_wizard_type");
    s.tableNames[tListAuthUnit] = QStringLiteral("vlq_list_auth_unit");
    return true;
}

bool OpenTables()
{
    return fn("OpenTables", [] {
        State& s = state();
        dao::Database& db = database();
        QHash<QString, std::shared_ptr<dao::Recordset>> tables;
        for (eTables t : kOpenOrder)
            tables.insert(key(t), db.OpenRecordset(s.tableNames[t], dao::RecordsetType::Table, dao::dbReadOnly));
        s.shared = std::move(tables);
        return true;
    });
}

bool Terminate()
{
    return true;
}

QString TableName(eTables table)
{
    State& s = state();
    if (s.tableNames[0].isEmpty())
        InitTableNames();
    return s.tableNames[table];
}

dao::Recordset& SharedTable(eTables table)
{
    ensureInitialized();
    auto rs = state().shared.value(key(table));
    if (!rs)
        throw RuntimeError(errnum::Internal, source(), QStringLiteral("Table %1 is not open").arg(int(table)));
    return *rs;
}

bool TableSeekSpec(eTables table, const QString& indexName, const QList<QVariant>& keys)
{
    dao::Recordset& rs = SharedTable(table);
    bool found = false;
    if (!keys.isEmpty()) {
        if (keys.size() > 6)
            throw RuntimeError(errnum::Internal, source(), QStringLiteral("TableSeekSpec takes 1 to 6 keys"));
        rs.setIndex(indexName);
        rs.Seek(QStringLiteral("="), keys);
    }
    if (rs.NoMatch()) {
        rs.setIndex(QString());
    } else {
        const QByteArray bookmark = rs.Bookmark();
        rs.setIndex(QString());
        rs.setBookmark(bookmark);
        found = true;
    }
    database().Idle(dao::dbFreeLocks);
    return found;
}

bool BeginTrs(int group)
{
    return fn("BeginTrs", [&] {
        if (!validGroup(group))
            return false;
        State& s = state();
        bool anyOpen = false;
        for (qint16 c : s.transactions)
            anyOpen = anyOpen || c != 0;
        if (!anyOpen) {
            s.transaction = std::make_unique<dao::Transaction>(database());
            for (bool& f : s.failed)
                f = false;
        }
        ++s.transactions[group];
        return true;
    });
}

bool CommitTrs(int group)
{
    return fn("CommitTrs", [&] {
        State& s = state();
        if (!validGroup(group) || s.transactions[group] == 0)
            return false;
        --s.transactions[group];
        bool allClosed = true;
        for (qint16 c : s.transactions)
            allClosed = allClosed && c == 0;
        if (allClosed) {
            if (s.failed[group]) {
                // An inner part of this transaction was rolled back: committing
                // the rest would store a half-done write.
                s.failed[group] = false;
                if (const auto transaction = std::move(s.transaction))
                    transaction->rollback();
                return false;
            }
            // A commit the engine refuses rolls back as the guard goes.
            if (const auto transaction = std::move(s.transaction))
                transaction->commit(dao::dbForceOSFlush);
        }
        return true;
    });
}

bool RollbackTrs(int group)
{
    return fn("RollbackTrs", [&] {
        State& s = state();
        if (!validGroup(group) || s.transactions[group] == 0)
            return false;
        --s.transactions[group];
        if (s.transactions[group] == 0) {
            s.failed[group] = false;
            if (const auto transaction = std::move(s.transaction))
                transaction->rollback();
        } else {
            s.failed[group] = true;
        }
        return true;
    });
}

bool OpenTableExclusive(eTables table)
{
    return fn("OpenTableExclusive", [&] {
        State& s = state();
        if (s.exclusiveUses[table] == 0) {
            if (s.tableNames[0].isEmpty())
                InitTableNames();
            auto rs = database().OpenRecordset(s.tableNames[table], dao::RecordsetType::Table, dao::dbSeeChanges);
            rs->setLockEdits(false);
            s.writable.insert(key(table), rs);
        }
        ++s.exclusiveUses[table];
        return true;
    });
}

bool CloseTableExclusive(eTables table)
{
    return fn("CloseTableExclusive", [&] {
        State& s = state();
        if (s.exclusiveUses[table] == 0)
            return false;
        if (--s.exclusiveUses[table] == 0) {
            if (auto rs = s.writable.take(key(table)))
                rs->Close();
        }
        return true;
    });
}

dao::Recordset& ExclusiveTable(eTables table)
{
    auto rs = state().writable.value(key(table));
    if (!rs)
        throw RuntimeError(errnum::Internal, source(),
                           QStringLiteral("Table %1 is not open for writing").arg(TableName(table)));
    return *rs;
}

bool OpenTableForTransGroup(int group)
{
    return fn("OpenTableForTransGroup", [&] {
        if (!validGroup(group))
            return false;
        State& s = state();
        if (s.lockUses[group] == 0) {
            dao::Database& db = database();
            if (s.lockTableNames[group].isEmpty())
                s.lockTableNames[group] = QStringLiteral("excl_0");
            const QString& lockTable = s.lockTableNames[group];
            if (!db.hasTable(lockTable))
                db.Execute(QStringLiteral("CREATE TABLE ") + lockTable + QStringLiteral(" (CC SHORT)"));
            for (;;) {
                try {
                    auto rs = db.OpenRecordset(lockTable, dao::RecordsetType::Table, dao::dbDenyWrite);
                    s.writable.insert(groupKey(group), rs);
                    db.Idle(dao::dbFreeLocks);
                    break;
                } catch (const RuntimeError&) {
                    const int answer =
                        ctx().messageService().MsgQuestionYesNo(lockQuestionMessage(), lockQuestionSubMessage());
                    if (answer != 2)
                        return false;
                }
            }
        }
        ++s.lockUses[group];
        return true;
    });
}

bool CloseTableForTransGroup(int group)
{
    return fn("CloseTableForTransGroup", [&] {
        State& s = state();
        if (!validGroup(group) || s.lockUses[group] == 0)
            return false;
        if (--s.lockUses[group] == 0) {
            if (auto rs = s.writable.take(groupKey(group)))
                rs->Close();
        }
        return true;
    });
}

bool CheckValidID(const QString&, const QVariant&, QString& description)
{
    description.clear();
    return false;
}

long GetNextID(dao::Recordset& rs, const QString& indexName, const QString& fieldName)
{
    return fn("GetNextID", [&]() -> long {
        // The caller's index and row are restored afterwards; a recordset
        // without a current row has no row to restore.
        const QString oldIndex = rs.Index();
        const bool hadRow = !rs.Bof() && !rs.Eof();
        const QByteArray oldBookmark = hadRow ? rs.Bookmark() : QByteArray();
        long last = 0;
        rs.setIndex(indexName);
        rs.MoveLast();
        if (!rs.Eof() && !rs.Bof())
            last = long(rs.Fields(fieldName).toLongLong());
        rs.setIndex(oldIndex);
        if (hadRow)
            rs.setBookmark(oldBookmark);
        database().Idle(dao::dbFreeLocks);
        return last + 1;
    });
}

bool SaveRecord(dao::Recordset& rs)
{
    return fn("SaveRecord", [&] {
        rs.Update();
        if (rs.editMode() != dao::EditMode::None) {
            rs.CancelUpdate();
            rs.Move(0);
        } else {
            rs.setBookmark(rs.LastModified());
        }
        return true;
    });
}

QVariant LookupFieldValue(const QString& tableName, long id, const QString& fieldName, const QVariant& defaultValue)
{
    return fn("LookupFieldValue", [&]() -> QVariant {
        // Names are joined into the statement: accept plain names only.
        static const QRegularExpression name(QStringLiteral("^\\[?[A-Za-z_][A-Za-z0-9_ ]*\\]?$"));
        if (!name.match(tableName).hasMatch() || !name.match(fieldName).hasMatch())
            throw RuntimeError(errnum::SyntaxError, source(),
                               QStringLiteral("Not a plain table or field name: %1.%2").arg(tableName, fieldName));
        QVariant result = defaultValue;
        dao::Database& db = database();
        auto rs = db.OpenRecordset(QStringLiteral("select ") + fieldName + QStringLiteral(" from ") + tableName +
                                       QStringLiteral(" where id=?"),
                                   QVariantList{qlonglong(id)}, dao::RecordsetType::Snapshot);
        if (!rs->Bof() && !rs->Eof())
            result = rs->Fields(0);
        rs->Close();
        db.Idle(dao::dbFreeLocks);
        return result;
    });
}

QVariant NullToDefault(const QVariant& value, int varType)
{
    if (!dao::isNull(value))
        return value;
    switch (varType) {
    case vt::Integer:
    case vt::Long:
    case vt::Single:
    case vt::Double:
    case vt::Currency:
    case vt::Byte:
        return QVariant(0);
    case vt::Date:
        // The date of year 0, month 0, day 0: 30 November 1899.
        return QVariant(QDateTime(QDate(1899, 11, 30), QTime(0, 0)));
    case vt::String:
        return QVariant(QString());
    case vt::Decimal:
        return QVariant(0.0);
    default:
        // Object, variant, array and the rest: an empty value.
        return QVariant();
    }
}

Counts counts()
{
    const State& s = state();
    Counts c;
    c.transactions = s.transactions[0];
    c.lockUses = s.lockUses[0];
    for (int i = 0; i < kTableCount; ++i)
        c.exclusiveUses[i] = s.exclusiveUses[i];
    c.lockHeld = s.writable.contains(groupKey(0));
    return c;
}

void Reset()
{
    // Every step runs and the state is forgotten whatever fails; the first
    // failure is reported afterwards.
    State& s = state();
    std::exception_ptr failure;
    for (auto& rs : s.writable) {
        try {
            rs->Close();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    s.transaction.reset();  // rolls back what is still open
    s = State();
    if (failure)
        std::rethrow_exception(failure);
}

// --- WriteScope -----------------------------------------------------------------

WriteScope::WriteScope(eTables table) : m_table(table)
{
    ensureInitialized();
    try {
        m_locked = OpenTableForTransGroup(0);
        if (!m_locked)
            return;
        m_begun = BeginTrs(0);
        if (!m_begun) {
            bool ignored = true;
            if (auto failure = release(ignored))
                std::rethrow_exception(failure);
            return;
        }
        m_opened = OpenTableExclusive(table);
        if (!m_opened) {
            rollback();
            return;
        }
        m_ok = true;
    } catch (...) {
        // The begin step's own error is the one reported; whatever the
        // clean-up runs into is secondary to it.
        bool ignored = true;
        release(ignored);
        throw;
    }
}

WriteScope::~WriteScope()
{
    // Reached without commit() or rollback() only while an error leaves the
    // write: that error is the one reported, and a destructor must not throw.
    if (m_locked || m_begun || m_opened) {
        bool ignored = true;
        release(ignored);
    }
}

std::exception_ptr WriteScope::release(bool& okFlag)
{
    // Undo in reverse order of the begin steps: roll back, release the
    // table, release the lock. Each step runs even when an earlier one fails;
    // the first failure is handed back for the caller to report.
    std::exception_ptr failure;
    auto step = [&](bool& held, auto&& call) {
        if (!held)
            return;
        held = false;
        try {
            okFlag = call() && okFlag;
        } catch (...) {
            okFlag = false;
            if (!failure)
                failure = std::current_exception();
        }
    };
    step(m_begun, [] { return RollbackTrs(0); });
    step(m_opened, [&] { return CloseTableExclusive(m_table); });
    step(m_locked, [] { return CloseTableForTransGroup(0); });
    m_ok = false;
    return failure;
}

bool WriteScope::commit()
{
    if (!m_ok)
        return false;
    bool committed = false;
    try {
        committed = CommitTrs(0);
    } catch (...) {
        // The commit's error is the one reported; the clean-up's own failure
        // is secondary to it.
        abandonFailedCommit();
        throw;
    }
    if (!committed) {
        if (auto failure = abandonFailedCommit())
            std::rethrow_exception(failure);
        return false;
    }
    m_begun = false;
    bool ok = true;
    if (auto failure = release(ok))
        std::rethrow_exception(failure);
    return ok;
}

std::exception_ptr WriteScope::abandonFailedCommit()
{
    // CommitTrs counted down before the engine refused (or before it rolled a
    // failed group back itself); its transaction guard has rolled back
    // whatever was still open, so only the table and the lock remain.
    State& s = state();
    if (m_begun && s.transactions[0] == 0)
        m_begun = false;
    bool ignored = true;
    return release(ignored);
}

bool WriteScope::rollback()
{
    bool ok = true;
    if (auto failure = release(ok))
        std::rethrow_exception(failure);
    return ok;
}

}  // namespace lg::modTables
