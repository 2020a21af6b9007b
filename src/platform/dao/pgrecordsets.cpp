// Recordsets on PostgreSQL.
//
// A statement recordset reads through a server cursor in batches, so the
// client holds one batch whatever the number of rows; going back moves the
// cursor (it is declared SCROLL). The cursor is declared WITH HOLD, so it
// outlives the transaction it was opened in (commits and later statements of
// this connection do not disturb it).
//
// A table-type recordset keeps no cursor: it reads a batch of rows in the
// order of its index by a keyset query ("the rows after this key"), the
// index's columns followed, unless the index is unique, by the row address,
// so that the order is total and ties come in the order rows were written.
// Null sorts first, as in Jet. Bookmarks are the primary key's values (or
// the row address of a table without one).

#include <QtCore/QDataStream>
#include <QtCore/QIODevice>

#include <algorithm>
#include <deque>
#include <optional>

#include "pgsession.h"

namespace lg::dao {

namespace {

constexpr int kCursorBatch = 2000;
// A table-type recordset reads 64 rows after a move to a place (a Seek
// mostly wants a few); walking on, each batch is twice the last, to 1024.
constexpr int kTableBatch = 64;
constexpr int kMaxTableBatch = 1024;

[[noreturn]] void noCurrentRecord()
{
    fail(kRecordsetSource, daoerr::NoCurrentRecord, QStringLiteral("No current record."));
}

// ---- statement recordsets ---------------------------------------------------------

class PgStatementRecordset final : public Recordset::Impl {
public:
    PgStatementRecordset(std::shared_ptr<Database> owner, Database::Impl* impl, const QByteArray& sql,
                         const PgParams& params, const QStringList& columnNames, bool forwardOnly)
        : Impl(std::move(owner), impl), m_pg(*impl->pg), m_sql(sql), m_params(params), m_scroll(!forwardOnly)
    {
        load(0);
        for (int i = 0; i < m_batch.columns(); ++i) {
            m_names << QString::fromUtf8(PQfname(m_batch.get(), i));
            m_oids.push_back(PQftype(m_batch.get(), i));
            m_types.push_back(pgFieldType(PQftype(m_batch.get(), i), PQfmod(m_batch.get(), i)));
        }
        // The server's names are lower case; Jet's are as the statement wrote them.
        if (columnNames.size() == m_names.size() && !columnNames.contains(QStringLiteral("*")))
            m_names = columnNames;
        markYesNoColumns();
        m_pos = 0;
    }

    // A smallint read straight from a table's Yes/No column (the one whose
    // CHECK holds the -1 of true) is a Yes/No field, as on a SQLite file.
    void markYesNoColumns()
    {
        constexpr Oid kSmallint = 21;
        QStringList keys;
        for (int i = 0; i < m_batch.columns(); ++i)
            if (m_oids[size_t(i)] == kSmallint && PQftable(m_batch.get(), i) != InvalidOid)
                keys << QStringLiteral("(%1,%2)").arg(PQftable(m_batch.get(), i)).arg(PQftablecol(m_batch.get(), i));
        if (keys.isEmpty())
            return;
        keys.removeDuplicates();
        const PgResult flags = m_pg.exec(
            ("SELECT DISTINCT a.attrelid::bigint, a.attnum::integer FROM pg_attribute a JOIN pg_constraint k ON "
             "k.conrelid = a.attrelid AND k.contype = 'c' AND a.attnum = ANY (k.conkey) WHERE "
             "(a.attrelid::bigint, a.attnum::integer) IN (VALUES " +
             keys.join(u',') + QStringLiteral(") AND pg_get_constraintdef(k.oid) LIKE '%-1%'"))
                .toUtf8(),
            kRecordsetSource);
        for (int r = 0; r < flags.rows(); ++r)
            for (int i = 0; i < m_batch.columns(); ++i)
                if (m_oids[size_t(i)] == kSmallint && QString::number(PQftable(m_batch.get(), i)) == flags.text(r, 0) &&
                    QString::number(PQftablecol(m_batch.get(), i)) == flags.text(r, 1))
                    m_types[size_t(i)] = FieldType::YesNo;
    }

    ~PgStatementRecordset() override { closeCursor(); }

    bool bof() const override { return m_pos < 0 || (m_total == 0); }
    bool eof() const override { return m_total >= 0 ? m_pos >= m_total : false; }

    void moveFirst() override { position(0); }
    void moveNext() override
    {
        if (eof())
            noCurrentRecord();
        position(m_pos + 1);
    }
    void movePrevious() override
    {
        if (m_pos < 0)
            noCurrentRecord();
        position(m_pos - 1);
    }
    void moveLast() override
    {
        const long n = recordCount();
        position(n > 0 ? n - 1 : 0);
    }
    long recordCount() const override
    {
        if (m_total < 0) {
            // Counting moves the cursor to the end; the batch stays as read.
            PgResult r = cursorCommand("MOVE FORWARD ALL FROM " + m_cursor);
            m_total = m_cursorAt + r.affected();
            m_cursorAt = m_total;
        }
        return m_total;
    }

    int fieldCount() const override { return int(m_names.size()); }
    QString fieldName(int index) const override { return m_names.value(index); }
    FieldType fieldType(int index) const override
    {
        return index >= 0 && index < int(m_types.size()) ? m_types[size_t(index)] : FieldType::Unknown;
    }
    int fieldIndex(const QString& name) const override
    {
        for (int i = 0; i < m_names.size(); ++i)
            if (m_names.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    Value field(int index) const override
    {
        checkOpen();
        if (index < 0 || index >= m_names.size())
            fail(kRecordsetSource, daoerr::ItemNotFound, QStringLiteral("Item not found in this collection."));
        const int row = onRow();
        return pgValue(m_batch.get(), row, index, m_oids[size_t(index)]);
    }

    bool appendTsvRow(QByteArray& out) const override
    {
        checkOpen();
        const int row = onRow();
        for (int i = 0; i < int(m_oids.size()); ++i) {
            if (i)
                out += '\t';
            appendPgTsv(out, m_batch.get(), row, i, m_oids[size_t(i)], m_types[size_t(i)]);
        }
        return true;
    }

    QByteArray bookmark() const override
    {
        onRow();
        return QByteArray::number(qlonglong(m_pos));
    }
    void setBookmark(const QByteArray& b) override
    {
        bool ok = false;
        const long pos = b.toLong(&ok);
        if (!ok || pos < 0)
            fail(kRecordsetSource, daoerr::NotAValidBookmark, QStringLiteral("Not a valid bookmark."));
        position(pos);
        if (eof())
            fail(kRecordsetSource, daoerr::NotAValidBookmark, QStringLiteral("Not a valid bookmark."));
    }

    void releaseCursor(bool) override {}
    void close() override
    {
        closeCursor();
        Impl::close();
    }

private:
    // The batch row of the current position; 3021 when there is none.
    int onRow() const
    {
        if (m_pos < 0 || eof())
            noCurrentRecord();
        return int(m_pos - m_batchStart);
    }

    void position(long pos)
    {
        checkOpen();
        if (pos < 0) {
            m_pos = -1;
            return;
        }
        m_pos = pos;
        if (pos >= m_batchStart && pos < m_batchStart + m_batch.rows())
            return;
        if (m_total >= 0 && pos >= m_total) {
            m_pos = m_total;
            return;
        }
        load(pos);
        if (m_batch.rows() == 0)
            m_pos = m_total >= 0 ? m_total : pos;
    }

    // Declares the cursor. A scrolling one is computed in full when the
    // transaction it was opened in ends (it is held past it); a forward-only
    // one opened outside a transaction streams in one of its own until the
    // connection is wanted for something else, and then keeps only the rows
    // not read yet.
    void declare() const
    {
        // A scrolling cursor is a statement of its own (see PgSession).
        if (m_scroll && m_pg.streamTransaction)
            m_pg.endStream();
        m_streaming = !m_scroll && m_pg.beginStream();
        if (m_streaming) {
            ++m_pg.streamCursors;
            m_stream = m_pg.streamNumber;
        }
        m_cursor = "lg_c" + QByteArray::number(++m_pg.cursorNumber);
        try {
            cursorCommand("DECLARE " + m_cursor + (m_scroll ? " SCROLL" : " NO SCROLL") + " CURSOR WITH HOLD FOR " +
                          m_sql, m_params);
        } catch (...) {
            releaseStream();
            throw;
        }
        m_declared = true;
        m_cursorAt = 0;
    }

    PgResult cursorCommand(const QByteArray& sql, const PgParams& params = {}) const
    {
        try {
            return m_pg.cursorExec(sql, params);
        } catch (const RuntimeError&) {
            // The cursor went with the commit that could not keep its rows.
            if (m_streaming && m_pg.streamFailure && m_pg.streamFailureNumber == m_stream)
                throw RuntimeError(*m_pg.streamFailure);
            throw;
        }
    }

    // Reads the batch that starts at row `start` (0-based).
    void load(long start)
    {
        // A forward-only cursor cannot go back: going back runs the
        // statement again (as a forward-only recordset does on SQLite).
        if (m_declared && !m_scroll && start < m_cursorAt)
            closeCursor();
        if (!m_declared)
            declare();
        if (m_cursorAt != start) {
            if (m_scroll)
                cursorCommand("MOVE ABSOLUTE " + QByteArray::number(qlonglong(start)) + " FROM " + m_cursor);
            else
                cursorCommand("MOVE FORWARD " + QByteArray::number(qlonglong(start - m_cursorAt)) + " FROM " + m_cursor);
            m_cursorAt = start;
        }
        m_batch = PgResult();  // the rows read go before the next ones come
        m_batch = cursorCommand("FETCH FORWARD " + QByteArray::number(kCursorBatch) + " FROM " + m_cursor);
        m_batchStart = start;
        m_cursorAt = start + m_batch.rows();
        if (m_batch.rows() < kCursorBatch) {
            m_total = m_cursorAt;
            // Read to the end, a forward-only cursor is done with: its
            // transaction ends and the connection is free.
            if (!m_scroll)
                closeCursor();
        }
    }

    void closeCursor() const
    {
        if (!m_declared)
            return;
        m_declared = false;
        // The cursor may already be gone with a rolled-back transaction.
        if (m_pg.conn && PQtransactionStatus(m_pg.conn) != PQTRANS_INERROR) {
            // The last reader of the cursors' transaction ends it in the same call.
            const bool last = m_streaming && m_pg.streamTransaction && m_pg.streamNumber == m_stream &&
                              m_pg.streamCursors == 1;
            PQclear(PQexec(m_pg.conn, QByteArray("CLOSE " + m_cursor + (last ? "; COMMIT" : "")).constData()));
            if (last) {
                m_streaming = false;
                m_pg.streamTransaction = false;
                m_pg.streamCursors = 0;
                if (PQtransactionStatus(m_pg.conn) != PQTRANS_IDLE)
                    PQclear(PQexec(m_pg.conn, "ROLLBACK"));
            }
        }
        releaseStream();
    }

    void releaseStream() const
    {
        if (!m_streaming)
            return;
        m_streaming = false;
        // Only while the transaction it read in is still the open one.
        if (m_pg.streamTransaction && m_pg.streamNumber == m_stream)
            m_pg.releaseStream();
    }

    PgSession& m_pg;
    const QByteArray m_sql;
    const PgParams m_params;
    const bool m_scroll;
    mutable QByteArray m_cursor;
    mutable bool m_declared = false;
    mutable bool m_streaming = false;  // reads in the cursors' own transaction
    mutable int m_stream = 0;          // which one (PgSession::streamNumber)
    PgResult m_batch;
    long m_batchStart = 0;
    mutable long m_cursorAt = 0;  // rows the cursor has passed
    mutable long m_total = -1;    // known once the end was seen
    long m_pos = 0;
    QStringList m_names;
    std::vector<Oid> m_oids;
    std::vector<FieldType> m_types;
};

// ---- table-type recordsets -------------------------------------------------------------

class PgTableRecordset final : public Recordset::Impl {
public:
    PgTableRecordset(std::shared_ptr<Database> owner, Database::Impl* impl, std::shared_ptr<const TableInfo> info)
        : Impl(std::move(owner), impl), m_pg(*impl->pg), m_info(std::move(info))
    {
        m_table = quoteIdent(m_info->name);
        QByteArray cols;
        for (int i = 0; i < m_info->fields.size(); ++i)
            cols += (i ? ", " : "") + quoteIdent(m_info->fields.at(i).name);
        // The address under a name of its own: ORDER BY ctid must not mean the text.
        m_select = "SELECT " + cols + ", ctid::text AS \"lg:row\" FROM " + m_table;
        for (const IndexInfo& i : m_info->indexes)
            if (i.def.primary)
                m_primary = &i;
        setOrder(nullptr);
    }

    ~PgTableRecordset() override { unlock(); }

    // --- moving -------------------------------------------------------------------------
    bool bof() const override { return m_state == State::Bof || (m_state == State::Eof && m_empty); }
    bool eof() const override { return m_state == State::Eof || m_state == State::NoRecord || (m_state == State::Bof && m_empty); }

    void moveFirst() override
    {
        discardEdit();
        fill(fetch(QByteArray(), {}, false), false);
    }
    void moveLast() override
    {
        discardEdit();
        fill(fetch(QByteArray(), {}, true), true);
    }
    void moveNext() override
    {
        discardEdit();
        if (m_state == State::Bof)
            return moveFirst();
        if (m_state != State::OnRow)
            noCurrentRecord();
        if (m_pos + 1 < qsizetype(m_rows.size())) {
            ++m_pos;
            return;
        }
        const QList<Value> last = m_rows.back();
        auto rows = fetchBeyond(last, false);
        if (rows.empty()) {
            m_state = State::Eof;
            return;
        }
        fill(std::move(rows), false, true);
    }
    void movePrevious() override
    {
        discardEdit();
        if (m_state == State::Eof)
            return moveLast();
        if (m_state != State::OnRow)
            noCurrentRecord();
        if (m_pos > 0) {
            --m_pos;
            return;
        }
        const QList<Value> first = m_rows.front();
        auto rows = fetchBeyond(first, true);
        if (rows.empty()) {
            m_state = State::Bof;
            return;
        }
        fill(std::move(rows), true, true);
    }
    long recordCount() const override
    {
        return m_pg.exec("SELECT count(*) FROM " + m_table, kRecordsetSource).text(0, 0).toLong();
    }

    int fieldCount() const override { return int(m_info->fields.size()); }
    QString fieldName(int index) const override { return m_info->fields.value(index).name; }
    FieldType fieldType(int index) const override { return m_info->fields.value(index).type; }
    int fieldIndex(const QString& name) const override { return m_info->column(name); }
    Value field(int index) const override
    {
        checkOpen();
        if (index < 0 || index >= m_info->fields.size())
            fail(kRecordsetSource, daoerr::ItemNotFound, QStringLiteral("Item not found in this collection."));
        if (m_edit == EditMode::AddNew)
            return m_changes.contains(index) ? m_changes.value(index) : m_info->fields.at(index).defaultValue;
        if (m_edit == EditMode::Edit && m_changes.contains(index))
            return m_changes.value(index);
        return current().at(index);
    }

    // --- bookmarks ----------------------------------------------------------------------
    QByteArray bookmark() const override { return bookmarkOf(current()); }
    void setBookmark(const QByteArray& b) override
    {
        const std::optional<QList<Value>> decoded = decodeBookmark(b);
        if (!decoded)
            fail(kRecordsetSource, daoerr::NotAValidBookmark, QStringLiteral("Not a valid bookmark."));
        const QList<Value>& id = *decoded;
        discardEdit();
        PgParams params;
        const QByteArray where = idCondition(id, params);
        auto rows = fetchWhere(where, false, 1, params);
        if (rows.empty())
            fail(kRecordsetSource, daoerr::NotAValidBookmark, QStringLiteral("Not a valid bookmark."));
        fill(std::move(rows), false);
    }
    QByteArray lastModified() const override { return m_lastModified; }

    // --- index and seek -------------------------------------------------------------------
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
            fail(kRecordsetSource, daoerr::NoCurrentIndex, QStringLiteral("Operation invalid without a current index."));
        if (keys.isEmpty() || keys.size() > 13 || keys.size() > m_index->columns.size())
            fail(kRecordsetSource, daoerr::InvalidArgument,
                 QStringLiteral("Invalid argument: Seek takes 1 to %1 key values for the index '%2'.")
                     .arg(qMin<qsizetype>(13, m_index->columns.size()))
                     .arg(m_index->def.name));
        const QString cmp = comparison.trimmed();
        bool reverse = false;
        bool inclusive = true;
        bool equal = false;
        if (cmp == QLatin1String("=")) {
            equal = true;
        } else if (cmp == QLatin1String(">=")) {
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
        QList<Value> checked;
        for (qsizetype i = 0; i < keys.size(); ++i)
            checked.append(checkFieldValue(m_info->fields.at(m_index->columns.at(i)), keys.at(i), false));
        discardEdit();
        PgParams params;
        const QByteArray where = equal ? equalKeys(checked, params)
                                       : beyond(checked, reverse, inclusive, params);
        auto rows = fetchWhere(where, reverse, reverse ? 1 : kTableBatch, params);
        m_noMatch = rows.empty();
        if (m_noMatch) {
            m_state = State::NoRecord;
            m_rows.clear();
            return;
        }
        fill(std::move(rows), false);
    }
    bool noMatch() const override { return m_noMatch; }

    // --- editing ------------------------------------------------------------------------
    void addNew() override
    {
        checkWritable();
        m_edit = EditMode::AddNew;
        m_changes.clear();
    }
    void edit() override
    {
        checkWritable();
        discardEdit();
        m_editRow = current();
        m_edit = EditMode::Edit;
    }
    void setField(const QString& name, const Value& value) override
    {
        if (m_edit == EditMode::None)
            Impl::setField(name, value);
        const int col = fieldIndex(name);
        if (col < 0)
            fail(kRecordsetSource, daoerr::ItemNotFound, QStringLiteral("Item not found in this collection: '%1'.").arg(name));
        m_changes.insert(col, checkFieldValue(m_info->fields.at(col), value, true));
    }
    void update() override
    {
        if (m_edit == EditMode::None)
            Impl::update();
        QList<int> cols = m_changes.keys();
        std::sort(cols.begin(), cols.end());
        PgParams params;
        QByteArray sql;
        if (m_edit == EditMode::AddNew) {
            sql = "INSERT INTO " + m_table;
            if (cols.isEmpty()) {
                sql += " DEFAULT VALUES";
            } else {
                QByteArray names, values;
                for (int i = 0; i < cols.size(); ++i) {
                    const FieldDef& f = m_info->fields.at(cols.at(i));
                    names += (i ? ", " : "") + quoteIdent(f.name);
                    params.add(m_changes.value(cols.at(i)), f.type);
                    values += (i ? ", $" : "$") + QByteArray::number(i + 1);
                }
                sql += " (" + names + ") VALUES (" + values + ")";
            }
        } else {
            if (cols.isEmpty()) {
                m_lastModified = bookmarkOf(m_editRow);
                discardEdit();
                return;
            }
            sql = "UPDATE " + m_table + " SET ";
            for (int i = 0; i < cols.size(); ++i) {
                const FieldDef& f = m_info->fields.at(cols.at(i));
                params.add(m_changes.value(cols.at(i)), f.type);
                sql += (i ? ", " : "") + quoteIdent(f.name) + " = $" + QByteArray::number(i + 1);
            }
            sql += " WHERE " + idCondition(idOf(m_editRow), params);
        }
        QByteArray returning;
        for (int i = 0; i < m_info->fields.size(); ++i)
            returning += quoteIdent(m_info->fields.at(i).name) + ", ";
        sql += " RETURNING " + returning + "ctid::text";
        PgResult r = m_pg.exec(sql, params, kRecordsetSource);
        if (r.rows() == 0)
            fail(kRecordsetSource, daoerr::RecordIsDeleted, QStringLiteral("Record is deleted."));
        const QList<Value> written = rowOf(r, 0);
        m_lastModified = bookmarkOf(written);
        const bool edited = m_edit == EditMode::Edit;
        discardEdit();
        if (edited) {
            // The edited row stays current, wherever its keys now put it.
            PgParams p;
            fill(fetchWhere(beyondRow(written, false, true, p), false, kTableBatch, p), false);
        }
    }
    void cancelUpdate() override
    {
        if (m_edit == EditMode::None)
            Impl::cancelUpdate();
        discardEdit();
    }
    EditMode editMode() const override { return m_edit; }

    void releaseCursor(bool) override {}
    void close() override
    {
        unlock();
        Impl::close();
    }

    bool locked = false;

private:
    enum class State { Bof, OnRow, Eof, NoRecord };

    struct Term {
        QByteArray sql;  // the column (or ctid)
        bool desc = false;
        int column = -1;  // the field, -1 for the row address
        bool nullable = false;
    };

    void unlock()
    {
        if (locked) {
            locked = false;
            m_pg.unlockTable(m_info->name);
        }
    }

    void checkWritable() const
    {
        if (readOnly)
            fail(kRecordsetSource, daoerr::ReadOnly, QStringLiteral("Database or object is read-only."));
    }

    void discardEdit()
    {
        m_edit = EditMode::None;
        m_changes.clear();
        m_editRow.clear();
    }

    const QList<Value>& current() const
    {
        if (m_state != State::OnRow || m_pos < 0 || m_pos >= qsizetype(m_rows.size()))
            noCurrentRecord();
        return m_rows.at(m_pos);
    }

    // The order: the index's columns, then the key's (or the row address).
    void setOrder(const IndexInfo* idx)
    {
        m_index = idx;
        m_terms.clear();
        if (idx)
            for (qsizetype i = 0; i < idx->columns.size(); ++i) {
                const FieldDef& f = m_info->fields.at(idx->columns.at(i));
                m_terms.push_back({quoteIdent(f.name), idx->descending.at(i), idx->columns.at(i), !f.required});
            }
        // Ties and a table read without index go in the order the rows were
        // written (their address), as rows without a key of their own do in
        // Jet; a COUNTER key is that order already.
        if (!idx && m_primary && m_primary->columns.size() == 1 &&
            m_info->fields.at(m_primary->columns.front()).type == FieldType::Counter) {
            const int c = m_primary->columns.front();
            m_terms.push_back({quoteIdent(m_info->fields.at(c).name), false, c});
        } else if (!idx || !idx->def.unique) {
            m_terms.push_back({"ctid", false, -1});
        }
        // A column that cannot hold Null is named without a place for Nulls,
        // so that the order is the index's own and the server reads the
        // index instead of sorting the table.
        QByteArray asc, desc;
        for (size_t i = 0; i < m_terms.size(); ++i) {
            const Term& t = m_terms[i];
            if (t.nullable) {
                asc += (i ? ", " : "") + t.sql + (t.desc ? " DESC NULLS LAST" : " NULLS FIRST");
                desc += (i ? ", " : "") + t.sql + (t.desc ? " NULLS FIRST" : " DESC NULLS LAST");
            } else {
                asc += (i ? ", " : "") + t.sql + (t.desc ? " DESC" : "");
                desc += (i ? ", " : "") + t.sql + (t.desc ? "" : " DESC");
            }
        }
        m_orderAsc = asc;
        m_orderDesc = desc;
        m_noMatch = false;
        fill(fetch(QByteArray(), {}, false), false);
    }

    Value termValue(const QList<Value>& row, const Term& t) const
    {
        return t.column >= 0 ? row.at(t.column) : row.back();
    }

    QByteArray param(const Value& v, const Term& t, PgParams& params) const
    {
        if (t.column < 0) {
            params.add(v);
            return "$" + QByteArray::number(qlonglong(params.values.size())) + "::tid";
        }
        params.add(v, m_info->fields.at(t.column).type);
        return "$" + QByteArray::number(qlonglong(params.values.size()));
    }

    // term = v, Null equal to Null
    QByteArray eq(const Term& t, const Value& v, PgParams& params) const
    {
        if (isNull(v))
            return t.sql + " IS NULL";
        return t.sql + " = " + param(v, t, params);
    }
    // term after v in the order of the term (backwards: before)
    QByteArray after(const Term& t, const Value& v, bool backwards, PgParams& params) const
    {
        const bool greater = t.desc == backwards;  // the values that come later are greater
        // Null is the smallest value.
        if (isNull(v))
            return greater ? t.sql + " IS NOT NULL" : QByteArray("FALSE");
        if (greater)
            return t.sql + " > " + param(v, t, params);
        if (!t.nullable)
            return t.sql + " < " + param(v, t, params);
        return "(" + t.sql + " < " + param(v, t, params) + " OR " + t.sql + " IS NULL)";
    }

    // The rows after (backwards: before) the given values of the first terms;
    // `inclusive` adds those equal on them.
    QByteArray beyond(const QList<Value>& values, bool backwards, bool inclusive, PgParams& params) const
    {
        // Columns without Null in one direction: a row comparison, which the
        // server turns into the start of an index range.
        bool rowComparison = true;
        for (qsizetype i = 0; i < values.size(); ++i) {
            const Term& t = m_terms[size_t(i)];
            if (t.nullable || isNull(values.at(i)) || t.desc != m_terms.front().desc)
                rowComparison = false;
        }
        if (rowComparison) {
            QByteArray left, right;
            for (qsizetype i = 0; i < values.size(); ++i) {
                const Term& t = m_terms[size_t(i)];
                left += (i ? ", " : "") + t.sql;
                right += (i ? ", " : "") + param(values.at(i), t, params);
            }
            const bool greater = m_terms.front().desc == backwards;
            const QByteArray op = QByteArray(greater ? ">" : "<") + (inclusive ? "=" : "");
            return "(" + left + ") " + op + " (" + right + ")";
        }
        QList<QByteArray> alternatives;
        for (qsizetype i = 0; i < values.size(); ++i) {
            QByteArray term;
            for (qsizetype j = 0; j < i; ++j)
                term += eq(m_terms[size_t(j)], values.at(j), params) + " AND ";
            alternatives << "(" + term + after(m_terms[size_t(i)], values.at(i), backwards, params) + ")";
        }
        if (inclusive)
            alternatives << equalKeys(values, params);
        QByteArray sql = "(" + alternatives.join(" OR ") + ")";
        // A bound on the first term lets the index start at the place.
        const Term& first = m_terms.front();
        if (!isNull(values.front()) && first.column >= 0) {
            const bool greater = first.desc == backwards;
            if (greater)
                sql = first.sql + " >= " + param(values.front(), first, params) + " AND " + sql;
        }
        return sql;
    }

    QByteArray beyondRow(const QList<Value>& row, bool backwards, bool inclusive, PgParams& params) const
    {
        QList<Value> values;
        for (const Term& t : m_terms)
            values << termValue(row, t);
        return beyond(values, backwards, inclusive, params);
    }

    QByteArray equalKeys(const QList<Value>& values, PgParams& params) const
    {
        QByteArray sql;
        for (qsizetype i = 0; i < values.size(); ++i)
            sql += (i ? " AND " : "") + eq(m_terms[size_t(i)], values.at(i), params);
        return "(" + sql + ")";
    }

    std::vector<QList<Value>> fetchWhere(const QByteArray& where, bool backwards, int limit,
                                         const PgParams& params = {}) const
    {
        QByteArray sql = m_select;
        if (!where.isEmpty())
            sql += " WHERE " + where;
        sql += " ORDER BY " + (backwards ? m_orderDesc : m_orderAsc) + " LIMIT " + QByteArray::number(limit);
        PgResult r = m_pg.execPrepared(sql, params, kRecordsetSource);
        std::vector<QList<Value>> rows;
        rows.reserve(size_t(r.rows()));
        for (int i = 0; i < r.rows(); ++i)
            rows.push_back(rowOf(r, i));
        if (backwards)
            std::reverse(rows.begin(), rows.end());
        return rows;
    }

    std::vector<QList<Value>> fetch(const QByteArray& where, const PgParams& params, bool backwards)
    {
        auto rows = fetchWhere(where, backwards, kTableBatch, params);
        m_empty = rows.empty() && where.isEmpty();
        return rows;
    }

    std::vector<QList<Value>> fetchBeyond(const QList<Value>& row, bool backwards) const
    {
        PgParams params;
        const int batch = m_nextBatch;
        m_nextBatch = std::min(m_nextBatch * 2, kMaxTableBatch);
        return fetchWhere(beyondRow(row, backwards, false, params), backwards, batch, params);
    }

    // Makes the batch current: its first row, or its last (`atEnd`).
    void fill(std::vector<QList<Value>> rows, bool atEnd, bool walking = false)
    {
        if (!walking)
            m_nextBatch = kTableBatch;
        m_rows.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
        if (m_rows.empty()) {
            m_state = State::Eof;
            m_pos = 0;
            return;
        }
        m_state = State::OnRow;
        m_pos = atEnd ? qsizetype(m_rows.size()) - 1 : 0;
    }

    QList<Value> rowOf(const PgResult& r, int row) const
    {
        QList<Value> out;
        const int n = int(m_info->fields.size());
        out.reserve(n + 1);
        for (int c = 0; c < n; ++c)
            out.append(normalizeForType(pgValue(r.get(), row, c, PQftype(r.get(), c)), m_info->fields.at(c).type));
        out.append(Value(r.text(row, n)));  // ctid
        return out;
    }

    // What identifies a row: the primary key's columns, or its address.
    QList<Term> idExpressions() const
    {
        QList<Term> ids;
        if (m_primary)
            for (int c : m_primary->columns)
                ids.append({quoteIdent(m_info->fields.at(c).name), false, c});
        else
            ids.append({"ctid", false, -1});
        return ids;
    }
    QList<Value> idOf(const QList<Value>& row) const
    {
        QList<Value> id;
        for (const Term& t : idExpressions())
            id << termValue(row, t);
        return id;
    }
    QByteArray idCondition(const QList<Value>& id, PgParams& params) const
    {
        const QList<Term> ids = idExpressions();
        QByteArray sql;
        for (qsizetype i = 0; i < ids.size(); ++i)
            sql += (i ? " AND " : "") + eq(ids.at(i), id.at(i), params);
        return sql;
    }
    // A bookmark comes from the caller and may be anything: the key count is
    // checked before any value is read, so a bogus header cannot make us
    // reserve room for billions of values.
    std::optional<QList<Value>> decodeBookmark(const QByteArray& b) const
    {
        const qsizetype expected = idExpressions().size();
        QDataStream in(b);
        quint32 count = 0;
        in >> count;
        if (in.status() != QDataStream::Ok || qsizetype(count) != expected)
            return std::nullopt;
        QList<Value> id;
        id.reserve(expected);
        for (qsizetype i = 0; i < expected; ++i) {
            Value v;
            in >> v;
            id.append(std::move(v));
        }
        if (in.status() != QDataStream::Ok || !in.atEnd())
            return std::nullopt;
        return id;
    }
    QByteArray bookmarkOf(const QList<Value>& row) const
    {
        QByteArray b;
        QDataStream out(&b, QIODevice::WriteOnly);
        out << idOf(row);
        return b;
    }

    PgSession& m_pg;
    std::shared_ptr<const TableInfo> m_info;
    QByteArray m_table;
    QByteArray m_select;
    const IndexInfo* m_primary = nullptr;
    const IndexInfo* m_index = nullptr;
    std::vector<Term> m_terms;
    QByteArray m_orderAsc, m_orderDesc;
    std::deque<QList<Value>> m_rows;
    qsizetype m_pos = 0;
    State m_state = State::Bof;
    bool m_empty = false;
    bool m_noMatch = false;
    EditMode m_edit = EditMode::None;
    QHash<int, Value> m_changes;
    QList<Value> m_editRow;
    QByteArray m_lastModified;
    mutable int m_nextBatch = kTableBatch;
};

}  // namespace

std::unique_ptr<Recordset::Impl> makePgStatementRecordset(std::shared_ptr<Database> db, Database::Impl* impl,
                                                          const QByteArray& sql, PgParams params,
                                                          const QStringList& columnNames, bool forwardOnly)
{
    return std::make_unique<PgStatementRecordset>(std::move(db), impl, sql, params, columnNames, forwardOnly);
}

std::unique_ptr<Recordset::Impl> makePgTableRecordset(std::shared_ptr<Database> db, Database::Impl* impl,
                                                      std::shared_ptr<const TableInfo> table, int options)
{
    if (options & dbDenyWrite)
        impl->pg->lockTable(table->name);
    std::unique_ptr<PgTableRecordset> rs;
    try {
        rs = std::make_unique<PgTableRecordset>(std::move(db), impl, table);
    } catch (...) {
        if (options & dbDenyWrite)
            impl->pg->unlockTable(table->name);
        throw;
    }
    rs->locked = options & dbDenyWrite;
    rs->readOnly = options & dbReadOnly;
    return rs;
}

}  // namespace lg::dao
