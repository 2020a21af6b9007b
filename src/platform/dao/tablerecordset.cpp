// Table-type recordsets: a table read in the order of one of its indexes
// (or in rowid order without one), positioned by Seek, and written through
// AddNew / Edit / Update.
//
// Reading never loads the table. The index order is the key columns in their
// directions followed by the rowid (SQLite stores every index entry with the
// rowid as its last column), which makes it a total order. A position in that
// order is a tuple of leading key values; the rows from there on are read by
// a short chain of statements, each a range of the index that SQLite walks in
// index order:
//
//   keys IS (v1..vj)                       the rows equal to the position
//   k1..k(j-1) IS (v..), kj > vj           the rest of the run of k1..k(j-1)
//   ...
//   k1 > v1                                everything after
//
// so "move on from this row" costs one index seek per level that turns out to
// be empty, and stepping within a level costs nothing extra. Backward movement
// uses the same chain with the directions turned round. NULL keys sort first
// (SQLite's order, as Jet's), handled by IS NULL / IS NOT NULL levels.
//
// The statement under the cursor is given up whenever the connection must not
// hold a read snapshot (Idle, transactions, writes); the current row is then
// remembered by its rowid and key values and the chain starts again from there
// on the next move. A bookmark is the row's rowid.
//
// After Update of an AddNew the current record stays the one that was current
// before AddNew; LastModified is the new row. After Update of an Edit the
// edited row stays current, at its (possibly new) place in the index order.
// LockEdits is kept for callers but changes nothing: SQLite locks the whole
// file for the length of each write.

#include <QtCore/QHash>

#include <cmath>

#include "dao_internal.h"
#include "platform/jetsql/jetvalues.h"
#include "tablelock.h"

namespace lg::dao {

namespace {

struct Term {
    int col;  // position in the table; -1 is the rowid
    bool desc;
};

enum class Range { None, After, NotNull, IsNull };

struct Level {
    int eq;       // terms 0..eq-1 equal the position's values
    Range range;  // on term `eq`
};

[[noreturn]] void noCurrentRecord()
{
    fail(kRecordsetSource, daoerr::NoCurrentRecord, QStringLiteral("No current record."));
}

[[noreturn]] void conversionError(const QString& field)
{
    fail(kRecordsetSource, daoerr::ConversionError,
         QStringLiteral("Data type conversion error in field '%1'.").arg(field));
}

class TableRecordset final : public Recordset::Impl {
public:
    TableRecordset(std::shared_ptr<Database> owner, Database::Impl* impl, std::shared_ptr<const TableInfo> info)
        : Impl(std::move(owner), impl), m_info(std::move(info)), m_quotedTable(quoteIdent(m_info->name))
    {
        for (int i = int(m_info->fields.size()) - 1; i >= 0; --i)
            m_byName.insert(m_info->fields.at(i).name.toLower(), i);
        setOrder(nullptr);
    }

    std::shared_ptr<TableLock> lock;

    // --- moving ------------------------------------------------------------------

    bool bof() const override
    {
        self()->resolvePending();
        return m_state == State::BeforeFirst || m_state == State::Empty;
    }

    bool eof() const override
    {
        self()->resolvePending();
        return m_state == State::AfterLast || m_state == State::Empty || m_state == State::NoRecord;
    }

    void moveFirst() override
    {
        discardEdit();
        positionEnd(false);
    }

    void moveLast() override
    {
        discardEdit();
        positionEnd(true);
    }

    void moveNext() override
    {
        discardEdit();
        resolvePending();
        switch (m_state) {
        case State::BeforeFirst:
            positionEnd(false);
            return;
        case State::OnRow:
            break;
        default:
            noCurrentRecord();
        }
        bool found;
        if (m_forward && m_curOnRow) {
            found = fetch();
        } else {
            std::vector<SqlValue> keys = currentKeys();
            found = startChain(false, std::move(keys), false);
        }
        if (found) {
            onRow(true);
        } else {
            m_state = State::AfterLast;
            dropCursor();
        }
    }

    void movePrevious() override
    {
        discardEdit();
        resolvePending();
        switch (m_state) {
        case State::AfterLast:
            positionEnd(true);
            return;
        case State::OnRow:
            break;
        default:
            noCurrentRecord();
        }
        std::vector<SqlValue> keys = currentKeys();
        if (startChain(true, std::move(keys), false)) {
            onRow(false);
        } else {
            m_state = State::BeforeFirst;
            dropCursor();
        }
    }

    void move(long rows) override
    {
        if (rows != 0) {
            Impl::move(rows);
            return;
        }
        // Move 0: read the current row again from the table.
        discardEdit();
        resolvePending();
        if (m_state != State::OnRow)
            noCurrentRecord();
        currentKeys();
        dropCursor();
        loadRow(m_rowid, true);
    }

    long recordCount() const override
    {
        Stmt s = db->prepare("SELECT count(*) FROM " + m_quotedTable, kRecordsetSource);
        const int rc = sqlite3_step(s.get());
        if (rc != SQLITE_ROW)
            failSqlite(kRecordsetSource, db->db, rc);
        return long(sqlite3_column_int64(s.get(), 0));
    }

    // --- fields -------------------------------------------------------------------

    int fieldCount() const override { return int(m_info->fields.size()); }
    QString fieldName(int index) const override { return m_info->fields.at(index).name; }
    FieldType fieldType(int index) const override { return m_info->fields.at(index).type; }
    int fieldIndex(const QString& name) const override { return m_byName.value(name.toLower(), -1); }

    Value field(int index) const override
    {
        if (m_edit == EditMode::AddNew)
            return m_changes.contains(index) ? m_changes.value(index) : m_info->fields.at(index).defaultValue;
        if (m_edit == EditMode::Edit)
            return m_changes.contains(index) ? m_changes.value(index) : m_base.at(index);
        self()->resolvePending();
        if (m_state != State::OnRow)
            noCurrentRecord();
        if (!m_curOnRow)
            self()->loadRow(m_rowid, true);
        return readColumn(m_cur.get(), index + 1, m_info->fields.at(index).type);
    }

    // --- bookmarks ----------------------------------------------------------------

    QByteArray bookmark() const override
    {
        self()->resolvePending();
        if (m_state != State::OnRow)
            noCurrentRecord();
        return encodeBookmark(m_rowid);
    }

    void setBookmark(const QByteArray& b) override
    {
        qint64 rowid = 0;
        if (!decodeBookmark(b, rowid))
            invalidBookmark();
        Stmt row = pointQuery(rowid);
        if (!row)
            invalidBookmark();
        discardEdit();
        dropCursor();
        m_cur = std::move(row);
        m_curOnRow = true;
        m_forward = false;
        m_rowid = rowid;
        m_keysValid = false;
        m_state = State::OnRow;
    }

    QByteArray lastModified() const override
    {
        return m_hasLastModified ? encodeBookmark(m_lastModified) : QByteArray();
    }

    void releaseCursor(bool) override
    {
        if (m_state == State::OnRow && m_curOnRow && !m_keysValid) {
            m_keys = keysFromCursor();
            m_keysValid = true;
        }
        dropCursor();
    }

    void close() override
    {
        dropCursor();
        m_edit = EditMode::None;
        lock.reset();
        Impl::close();
    }

    // --- index and seek -----------------------------------------------------------

    QString index() const override { return m_index ? m_index->def.name : QString(); }

    void setIndex(const QString& name) override
    {
        const IndexInfo* idx = nullptr;
        if (!name.trimmed().isEmpty()) {
            idx = m_info->index(name.trimmed());
            if (!idx)
                fail(kRecordsetSource, daoerr::ItemNotFoundInIndex,
                     QStringLiteral("'%1' isn't an index in this table.").arg(name));
        }
        discardEdit();
        setOrder(idx);
    }

    void seek(const QString& comparison, const QList<Value>& keys) override
    {
        if (!m_index)
            fail(kRecordsetSource, daoerr::NoCurrentIndex,
                 QStringLiteral("Operation invalid without a current index."));
        if (keys.isEmpty() || keys.size() > 13 || keys.size() > m_index->columns.size())
            fail(kRecordsetSource, daoerr::InvalidArgument,
                 QStringLiteral("Invalid argument: Seek takes 1 to %1 key values for the index '%2'.")
                     .arg(qMin<qsizetype>(13, m_index->columns.size()))
                     .arg(m_index->def.name));
        const QString cmp = comparison.trimmed();
        bool reverse = false;
        bool inclusive = true;
        if (cmp == QLatin1String("=") || cmp == QLatin1String(">=")) {
        } else if (cmp == QLatin1String(">")) {
            inclusive = false;
        } else if (cmp == QLatin1String("<=")) {
            reverse = true;
        } else if (cmp == QLatin1String("<")) {
            reverse = true;
            inclusive = false;
        } else {
            fail(kRecordsetSource, daoerr::InvalidArgument,
                 QStringLiteral("Invalid argument: unknown Seek comparison \"%1\".").arg(comparison));
        }
        std::vector<SqlValue> position;
        position.reserve(size_t(keys.size()));
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const int col = m_terms.at(size_t(i)).col;
            const FieldDef& f = m_info->fields.at(col);
            position.push_back(makeSqlValue(checkedValue(col, keys.at(i), false), f.type));
        }
        discardEdit();
        bool found = startChain(reverse, std::move(position), inclusive);
        if (found && cmp == QLatin1String("=") && m_rowLevel != 0)
            found = false;  // the first row found lies beyond the keys
        m_noMatch = !found;
        if (found) {
            onRow(!reverse);
        } else {
            m_state = State::NoRecord;
            dropCursor();
        }
    }

    bool noMatch() const override { return m_noMatch; }

    // --- editing --------------------------------------------------------------------

    void addNew() override
    {
        checkWritable();
        m_edit = EditMode::AddNew;
        m_changes.clear();
        m_base.clear();
    }

    void edit() override
    {
        checkWritable();
        discardEdit();
        resolvePending();
        if (m_state != State::OnRow)
            noCurrentRecord();
        if (!m_curOnRow)
            loadRow(m_rowid, true);
        QList<Value> base;
        base.reserve(m_info->fields.size());
        for (int i = 0; i < m_info->fields.size(); ++i)
            base.append(readColumn(m_cur.get(), i + 1, m_info->fields.at(i).type));
        m_base = std::move(base);
        m_editRowid = m_rowid;
        m_changes.clear();
        m_edit = EditMode::Edit;
    }

    void setField(const QString& name, const Value& value) override
    {
        if (m_edit == EditMode::None)
            Impl::setField(name, value);
        const int col = fieldIndex(name);
        if (col < 0)
            fail(kRecordsetSource, daoerr::ItemNotFound,
                 QStringLiteral("Item not found in this collection: '%1'.").arg(name));
        m_changes.insert(col, checkedValue(col, value, true));
    }

    void update() override
    {
        if (m_edit == EditMode::None)
            Impl::update();
        db->checkWritable(QStringLiteral("Update"));
        // The write must not run under a statement that reads this table, nor
        // (outside a transaction) under anybody's outdated read snapshot.
        releaseCursor(true);
        if (db->transactionLevel == 0)
            db->releaseCursors(false);

        QList<int> cols = m_changes.keys();
        std::sort(cols.begin(), cols.end());
        if (m_edit == EditMode::AddNew) {
            QByteArray sql = "INSERT INTO " + m_quotedTable;
            if (cols.isEmpty()) {
                sql += " DEFAULT VALUES";
            } else {
                QByteArray names, params;
                for (int i = 0; i < cols.size(); ++i) {
                    names += (i ? "," : "") + quoteIdent(m_info->fields.at(cols.at(i)).name);
                    params += (i ? ",?" : "?");
                }
                sql += " (" + names + ") VALUES (" + params + ")";
            }
            Stmt s = db->prepare(sql, kRecordsetSource);
            for (int i = 0; i < cols.size(); ++i)
                bindValue(s.get(), i + 1, m_changes.value(cols.at(i)), m_info->fields.at(cols.at(i)).type);
            stepWrite(s);
            m_lastModified = sqlite3_last_insert_rowid(db->db);
        } else {
            if (!cols.isEmpty()) {
                QByteArray sql = "UPDATE " + m_quotedTable + " SET ";
                for (int i = 0; i < cols.size(); ++i)
                    sql += (i ? "," : "") + quoteIdent(m_info->fields.at(cols.at(i)).name) + "=?";
                sql += " WHERE rowid=?";
                Stmt s = db->prepare(sql, kRecordsetSource);
                for (int i = 0; i < cols.size(); ++i)
                    bindValue(s.get(), i + 1, m_changes.value(cols.at(i)), m_info->fields.at(cols.at(i)).type);
                sqlite3_bind_int64(s.get(), int(cols.size()) + 1, m_editRowid);
                stepWrite(s);
                if (sqlite3_changes(db->db) == 0)
                    fail(kRecordsetSource, daoerr::RecordIsDeleted, QStringLiteral("Record is deleted."));
            }
            m_lastModified = m_editRowid;
            // The edited row stays current, wherever its keys now put it.
            m_state = State::OnRow;
            m_rowid = m_editRowid;
            m_keysValid = false;
        }
        m_hasLastModified = true;
        m_edit = EditMode::None;
        m_changes.clear();
        m_base.clear();
    }

    void cancelUpdate() override
    {
        if (m_edit == EditMode::None)
            Impl::cancelUpdate();
        discardEdit();
    }

    EditMode editMode() const override { return m_edit; }

private:
    enum class State {
        Pending,      // on the first row in the current order, not yet read
        BeforeFirst,  // BOF
        OnRow,
        AfterLast,  // EOF
        Empty,      // BOF and EOF: no rows
        NoRecord,   // after a Seek without match
    };

    TableRecordset* self() const { return const_cast<TableRecordset*>(this); }

    [[noreturn]] static void invalidBookmark()
    {
        fail(kRecordsetSource, daoerr::NotAValidBookmark, QStringLiteral("Not a valid bookmark."));
    }

    static QByteArray encodeBookmark(qint64 rowid)
    {
        QByteArray b(9, '\0');
        b[0] = 'T';
        for (int i = 8; i >= 1; --i, rowid >>= 8)
            b[i] = char(rowid & 0xff);
        return b;
    }

    static bool decodeBookmark(const QByteArray& b, qint64& rowid)
    {
        if (b.size() != 9 || b.at(0) != 'T')
            return false;
        quint64 r = 0;
        for (int i = 1; i <= 8; ++i)
            r = (r << 8) | quint8(b.at(i));
        rowid = qint64(r);
        return true;
    }

    void checkWritable() const
    {
        if (readOnly)
            fail(kRecordsetSource, daoerr::ReadOnly, QStringLiteral("Cannot update. Database or object is read-only."));
    }

    void discardEdit()
    {
        m_edit = EditMode::None;
        m_changes.clear();
        m_base.clear();
    }

    // The value as the column will store it; bad input is refused here, before anything is written.
    Value checkedValue(int col, const Value& value, bool checkSize) const
    {
        return checkFieldValue(m_info->fields.at(col), value, checkSize);
    }

    SqlValue makeSqlValue(const Value& value, FieldType type)
    {
        Stmt s = db->prepare("SELECT ?1", kRecordsetSource);
        bindValue(s.get(), 1, value, type);
        if (sqlite3_step(s.get()) != SQLITE_ROW)
            failSqlite(kRecordsetSource, db->db, SQLITE_ERROR);
        return SqlValue(sqlite3_column_value(s.get(), 0));
    }

    void stepWrite(Stmt& s)
    {
        const int rc = sqlite3_step(s.get());
        if (rc == SQLITE_DONE)
            return;
        const QString message = QString::fromUtf8(sqlite3_errmsg(db->db));
        s.release();
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
            fail(kRecordsetSource, daoerr::DuplicateValues,
                 QStringLiteral("The changes you requested to the table were not successful because they would "
                                "create duplicate values in the index, primary key, or relationship (%1).")
                     .arg(message));
        if (rc == SQLITE_CONSTRAINT_NOTNULL)
            fail(kRecordsetSource, 3314,
                 QStringLiteral("A required field cannot contain a Null value (%1).").arg(message));
        fail(kRecordsetSource, errnum::Database, message);
    }

    // --- order and cursor -----------------------------------------------------------

    void setOrder(const IndexInfo* idx)
    {
        m_index = idx;
        m_terms.clear();
        bool rowidCovered = false;
        if (idx) {
            for (int i = 0; i < idx->columns.size(); ++i) {
                m_terms.push_back({idx->columns.at(i), idx->descending.at(i)});
                rowidCovered = rowidCovered || idx->columns.at(i) == m_info->rowidAlias;
            }
        }
        if (!rowidCovered)
            m_terms.push_back({-1, false});
        m_sqlCache.clear();
        dropCursor();
        m_state = State::Pending;
    }

    QByteArray termExpr(const Term& t) const
    {
        return t.col < 0 ? QByteArray("rowid") : quoteIdent(m_info->fields.at(t.col).name);
    }

    bool termNullable(const Term& t) const { return t.col >= 0 && !m_info->fields.at(t.col).required; }

    const QByteArray& levelSql(const Level& l)
    {
        const quint32 key = quint32(l.eq) << 8 | quint32(l.range) << 1 | (m_reverse ? 1u : 0u);
        auto it = m_sqlCache.find(key);
        if (it != m_sqlCache.end())
            return *it;
        QByteArray sql = "SELECT rowid,* FROM " + m_quotedTable;
        QByteArray where;
        for (int k = 0; k < l.eq; ++k)
            where += (k ? " AND " : "") + termExpr(m_terms[size_t(k)]) + " IS ?" + QByteArray::number(k + 1);
        if (l.range != Range::None) {
            const Term& t = m_terms[size_t(l.eq)];
            if (!where.isEmpty())
                where += " AND ";
            where += termExpr(t);
            switch (l.range) {
            case Range::After:
                where += (t.desc != m_reverse ? " < ?" : " > ?") + QByteArray::number(l.eq + 1);
                break;
            case Range::NotNull:
                where += " IS NOT NULL";
                break;
            case Range::IsNull:
                where += " IS NULL";
                break;
            case Range::None:
                break;
            }
        }
        if (!where.isEmpty())
            sql += " WHERE " + where;
        QByteArray order;
        for (size_t k = size_t(l.eq); k < m_terms.size(); ++k)
            order +=
                (order.isEmpty() ? "" : ",") + termExpr(m_terms[k]) + (m_terms[k].desc != m_reverse ? " DESC" : "");
        if (!order.isEmpty())
            sql += " ORDER BY " + order;
        return *m_sqlCache.insert(key, sql);
    }

    // Starts reading from `position` (values of the leading terms) in forward
    // or reverse order, including or excluding the rows equal to it, and
    // stands on the first row found.
    bool startChain(bool reverse, std::vector<SqlValue> position, bool inclusive)
    {
        dropCursor();
        m_reverse = reverse;
        m_position = std::move(position);
        const int j = int(m_position.size());
        if (inclusive)
            m_levels.push_back({j, Range::None});
        for (int i = j - 1; i >= 0; --i) {
            const Term& t = m_terms[size_t(i)];
            const bool nullsFirst = t.desc == reverse;  // in the direction of reading
            if (m_position[size_t(i)].isNull()) {
                if (nullsFirst && termNullable(t))
                    m_levels.push_back({i, Range::NotNull});
                else if (nullsFirst)
                    m_levels.push_back({i, Range::None});  // no NULLs in the column: the whole run follows
            } else {
                m_levels.push_back({i, Range::After});
                if (!nullsFirst && termNullable(t))
                    m_levels.push_back({i, Range::IsNull});
            }
        }
        m_nextLevel = 0;
        return fetch();
    }

    bool fetch()
    {
        for (;;) {
            if (m_cur) {
                const int rc = sqlite3_step(m_cur.get());
                if (rc == SQLITE_ROW) {
                    m_curOnRow = true;
                    return true;
                }
                if (rc != SQLITE_DONE) {
                    const QString message = QString::fromUtf8(sqlite3_errmsg(db->db));
                    dropCursor();
                    fail(kRecordsetSource, errnum::Database, message);
                }
                m_cur.release();
            }
            m_curOnRow = false;
            if (m_nextLevel >= m_levels.size())
                return false;
            m_rowLevel = int(m_nextLevel);
            const Level level = m_levels[m_nextLevel++];
            m_cur = db->prepare(levelSql(level), kRecordsetSource);
            for (int k = 0; k < level.eq; ++k)
                sqlite3_bind_value(m_cur.get(), k + 1, m_position[size_t(k)].v);
            if (level.range == Range::After)
                sqlite3_bind_value(m_cur.get(), level.eq + 1, m_position[size_t(level.eq)].v);
        }
    }

    void onRow(bool forward)
    {
        m_state = State::OnRow;
        m_forward = forward;
        m_rowid = sqlite3_column_int64(m_cur.get(), 0);
        m_keysValid = false;
    }

    void dropCursor()
    {
        m_cur.release();
        m_curOnRow = false;
        m_forward = false;
        m_levels.clear();
        m_nextLevel = 0;
    }

    void positionEnd(bool last)
    {
        if (startChain(last, {}, true)) {
            onRow(!last);
        } else {
            m_state = State::Empty;
            dropCursor();
        }
    }

    void resolvePending()
    {
        if (m_state == State::Pending)
            positionEnd(false);
    }

    std::vector<SqlValue> keysFromCursor() const
    {
        std::vector<SqlValue> keys;
        keys.reserve(m_terms.size());
        for (const Term& t : m_terms)
            keys.emplace_back(sqlite3_column_value(m_cur.get(), t.col + 1));
        return keys;
    }

    // The full order tuple of the current row.
    std::vector<SqlValue> currentKeys()
    {
        if (m_curOnRow)
            return keysFromCursor();
        if (m_keysValid)
            return m_keys;
        loadRow(m_rowid, true);
        return keysFromCursor();
    }

    Stmt pointQuery(qint64 rowid)
    {
        Stmt s = db->prepare("SELECT rowid,* FROM " + m_quotedTable + " WHERE rowid=?1", kRecordsetSource);
        sqlite3_bind_int64(s.get(), 1, rowid);
        const int rc = sqlite3_step(s.get());
        if (rc == SQLITE_ROW)
            return s;
        if (rc != SQLITE_DONE)
            failSqlite(kRecordsetSource, db->db, rc);
        return {};
    }

    void loadRow(qint64 rowid, bool mustExist)
    {
        Stmt s = pointQuery(rowid);
        if (!s) {
            if (mustExist)
                fail(kRecordsetSource, daoerr::RecordIsDeleted, QStringLiteral("Record is deleted."));
            return;
        }
        dropCursor();
        m_cur = std::move(s);
        m_curOnRow = true;
        m_forward = false;
    }

    std::shared_ptr<const TableInfo> m_info;
    QByteArray m_quotedTable;
    QHash<QString, int> m_byName;
    const IndexInfo* m_index = nullptr;
    std::vector<Term> m_terms;
    QHash<quint32, QByteArray> m_sqlCache;

    State m_state = State::Pending;
    Stmt m_cur;
    bool m_curOnRow = false;  // m_cur stands on the current row
    bool m_forward = false;   // stepping m_cur gives the following rows
    bool m_reverse = false;
    std::vector<SqlValue> m_position;
    std::vector<Level> m_levels;
    size_t m_nextLevel = 0;
    int m_rowLevel = -1;  // the level that produced the current row

    qint64 m_rowid = 0;
    std::vector<SqlValue> m_keys;  // of the current row once the cursor let go
    bool m_keysValid = false;
    bool m_noMatch = false;

    EditMode m_edit = EditMode::None;
    QHash<int, Value> m_changes;
    QList<Value> m_base;
    qint64 m_editRowid = 0;
    qint64 m_lastModified = 0;
    bool m_hasLastModified = false;
};

}  // namespace

std::unique_ptr<Recordset::Impl> makeTableRecordset(std::shared_ptr<Database> db, Database::Impl* impl,
                                                    std::shared_ptr<const TableInfo> table, int options)
{
    std::shared_ptr<TableLock> lock;
    if (options & dbDenyWrite)
        lock = TableLock::acquire(impl->path, table->name);
    auto rs = std::make_unique<TableRecordset>(std::move(db), impl, std::move(table));
    rs->lock = std::move(lock);
    rs->readOnly = options & dbReadOnly;
    return rs;
}

// The form a field of this definition stores a value in, or the error Jet gives.
Value checkFieldValue(const FieldDef& f, const Value& value, bool checkSize)
{
    if (isNull(value))
        return Value();
    Value v = normalizeForType(value, f.type);
    switch (f.type) {
    case FieldType::Long:
    case FieldType::Integer:
    case FieldType::Counter:
    case FieldType::Double:
    case FieldType::Currency: {
        if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray) {
            bool ok = false;
            const QString text = v.toString().trimmed();
            const qlonglong n = text.toLongLong(&ok);
            if (ok) {
                v = Value(n);
            } else {
                const double d = text.toDouble(&ok);
                if (!ok || !std::isfinite(d))
                    conversionError(f.name);
                v = Value(d);
            }
        } else if (!v.canConvert<double>()) {
            conversionError(f.name);
        }
        const bool whole =
            f.type == FieldType::Long || f.type == FieldType::Integer || f.type == FieldType::Counter;
        if (whole && (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)) {
            // Whole-number fields round halves to even.
            const double d = v.toDouble();
            if (!std::isfinite(d) || std::fabs(d) > 9.2e18)
                conversionError(f.name);
            v = Value(qlonglong(std::nearbyint(d)));
        }
        // Each whole-number type holds its own range (as statements store them).
        if (whole && f.size > 0) {
            const qlonglong n = v.toLongLong();
            const bool fits = f.size == 1 ? n >= 0 && n <= 255
                              : f.size == 2 ? n >= -32768 && n <= 32767
                                            : n >= -2147483648LL && n <= 2147483647LL;
            if (!fits)
                conversionError(f.name);
        }
        if (f.type == FieldType::Double)
            v = Value(v.toDouble());
        if (f.type == FieldType::Currency) {
            // Currency keeps four decimals, rounded half to even.
            const auto currency = jetsql::toCurrency(v.toDouble());
            if (!currency)
                conversionError(f.name);
            v = Value(*currency);
        }
        return v;
    }
    case FieldType::YesNo:
        if (v.typeId() != QMetaType::LongLong)
            conversionError(f.name);
        return v;
    case FieldType::DateTime:
        if (v.typeId() != QMetaType::QDateTime || !v.toDateTime().isValid())
            conversionError(f.name);
        return v;
    case FieldType::Text:
    case FieldType::Memo: {
        QString text = v.typeId() == QMetaType::QDateTime ? v.toDateTime().toString(Qt::ISODate) : v.toString();
        if (checkSize && f.type == FieldType::Text && f.size > 0 && text.size() > f.size)
            fail(kRecordsetSource, daoerr::FieldTooSmall,
                 QStringLiteral("The field '%1' is too small to accept the amount of data you attempted to add "
                                "(%2 characters, at most %3).")
                     .arg(f.name)
                     .arg(text.size())
                     .arg(f.size));
        return Value(text);
    }
    case FieldType::Unknown:
        return v;
    }
    return v;
}

}  // namespace lg::dao
