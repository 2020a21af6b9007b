// Recordsets over a statement (dynaset, snapshot, forward-only).
//
// The rows are never held: the statement is stepped as the caller moves
// forward, so reading a result of any size takes constant memory. Going back
// (MovePrevious, MoveFirst after moving, a bookmark behind the current row)
// runs the statement again and steps to the wanted row; a bookmark is the
// row's position. When the last row has been passed the statement is reset,
// so a fully read recordset holds no read snapshot of the database.
//
// RecordCount is the number of rows of the result: known exactly once the
// end has been reached, otherwise counted with "SELECT count(*)" over the
// statement (without reading the rows into memory).

#include <QtCore/QHash>

#include "dao_internal.h"

namespace lg::dao {

namespace {

class StatementRecordset final : public Recordset::Impl {
public:
    StatementRecordset(std::shared_ptr<Database> owner, Database::Impl* impl, const QByteArray& sql, RecordsetType type,
                       const QStringList& parameterNames, const Parameters& parameters)
        : Impl(std::move(owner), impl), m_sql(sql), m_type(type), m_parameterNames(parameterNames),
          m_parameters(parameters)
    {
        readOnly = type != RecordsetType::Dynaset;
        m_stmt = db->prepare(m_sql, kRecordsetSource);
        sqlite3_stmt* s = m_stmt.get();
        // The values stay bound for every re-run of the statement.
        bindParameters(s, m_parameterNames, m_parameters, kRecordsetSource);
        if (sqlite3_column_count(s) == 0)
            fail(kRecordsetSource, daoerr::InvalidOperation,
                 QStringLiteral("Invalid operation: the statement returns no records."));
        const int n = sqlite3_column_count(s);
        for (int i = 0; i < n; ++i) {
            const char* name = sqlite3_column_name(s, i);
            m_names.append(QString::fromUtf8(name ? name : ""));
            const char* declared = sqlite3_column_decltype(s, i);
            m_types.append(declared ? jetsql::jetTypeFromDeclared(QString::fromUtf8(declared)) : FieldType::Unknown);
        }
        for (int i = n - 1; i >= 0; --i)  // of equal names the first wins
            m_byName.insert(m_names.at(i).toLower(), i);
        // Opening executes the statement and stands on the first row.
        const Resync resync(this);
        stepTo(0);
        if (m_eof)
            m_bof = true;
    }

    bool bof() const override { return m_bof; }
    bool eof() const override { return m_eof; }

    void moveFirst() override
    {
        const Resync resync(this);
        stepTo(0);
        m_bof = m_eof;
    }

    void moveNext() override
    {
        if (row.stmt) {
            // Reading on from a row the statement stands on: the common case.
            const int rc = sqlite3_step(m_stmt.get());
            if (rc == SQLITE_ROW) {
                ++m_cursorRow;
                ++m_pos;
                return;
            }
            const Resync resync(this);
            stepEnded(rc);
            m_eof = true;
            m_pos = m_total;
            return;
        }
        const Resync resync(this);
        if (m_eof)
            noCurrentRecord();
        stepTo(m_bof ? 0 : m_pos + 1);
        m_bof = false;
    }

    void movePrevious() override
    {
        const Resync resync(this);
        if (m_bof)
            noCurrentRecord();
        if (m_eof) {
            moveLast();
            return;
        }
        if (m_pos == 0) {
            m_bof = true;
            m_pos = -1;
            releaseCursor(true);
            return;
        }
        stepTo(m_pos - 1);
    }

    void moveLast() override
    {
        const Resync resync(this);
        if (m_total < 0) {
            // Step on to the end to learn the size of the result.
            if (!m_eof)
                while (stepOnce()) {
                }
        }
        if (m_total <= 0) {
            m_bof = m_eof = true;
            m_pos = 0;
            return;
        }
        stepTo(m_total - 1);
        m_bof = false;
    }

    void move(long rows) override
    {
        const Resync resync(this);
        if (rows == 0) {
            if (m_bof || m_eof)
                noCurrentRecord();
            return;
        }
        if (m_bof || m_eof)
            noCurrentRecord();
        const long target = m_pos + rows;
        if (target < 0) {
            m_bof = true;
            m_pos = -1;
            releaseCursor(true);
            return;
        }
        stepTo(target);
    }

    long recordCount() const override
    {
        if (m_total >= 0)
            return m_total;
        Stmt count = db->prepare("SELECT count(*) FROM (" + m_sql + ")", kRecordsetSource);
        bindParameters(count.get(), m_parameterNames, m_parameters, kRecordsetSource);
        const int rc = sqlite3_step(count.get());
        if (rc != SQLITE_ROW)
            failSqlite(kRecordsetSource, db->db, rc);
        return long(sqlite3_column_int64(count.get(), 0));
    }

    int fieldCount() const override { return int(m_names.size()); }
    QString fieldName(int index) const override { return m_names.at(index); }
    FieldType fieldType(int index) const override { return m_types.at(index); }
    int fieldIndex(const QString& name) const override { return m_byName.value(name.toLower(), -1); }

    Value field(int index) const override
    {
        if (m_bof || m_eof)
            noCurrentRecord();
        if (m_cursorRow != m_pos)
            const_cast<StatementRecordset*>(this)->reattach();
        return readColumn(m_stmt.get(), index, m_types.at(index));
    }

    QByteArray bookmark() const override
    {
        if (m_bof || m_eof)
            noCurrentRecord();
        QByteArray b(9, '\0');
        b[0] = 'S';
        qint64 p = m_pos;
        for (int i = 8; i >= 1; --i, p >>= 8)
            b[i] = char(p & 0xff);
        return b;
    }

    void setBookmark(const QByteArray& b) override
    {
        const Resync resync(this);
        if (b.size() != 9 || b.at(0) != 'S')
            invalidBookmark();
        qint64 p = 0;
        for (int i = 1; i <= 8; ++i)
            p = (p << 8) | quint8(b.at(i));
        if (p < 0)
            invalidBookmark();
        const long before = m_pos;
        stepTo(long(p));
        if (m_eof) {
            stepTo(before);
            invalidBookmark();
        }
        m_bof = false;
    }

    void releaseCursor(bool all) override
    {
        const Resync resync(this);
        if (m_cursorRow < 0)
            return;
        // Re-running to the first row is cheap; a statement read half-way
        // keeps its place unless it must let go.
        if (all || m_cursorRow == 0) {
            sqlite3_reset(m_stmt.get());
            m_cursorRow = -1;
        }
    }

    void close() override
    {
        m_stmt.release();
        Impl::close();
    }

    // Keeps the shortcut for reading the current row in step with the
    // state, whichever way a move ends (exceptions included).
    void sync()
    {
        const bool onRow = open && !m_bof && !m_eof && m_cursorRow >= 0 && m_cursorRow == m_pos;
        row.stmt = onRow ? m_stmt.get() : nullptr;
        row.types = m_types.constData();
        row.columns = int(m_types.size());
    }
    struct Resync {
        StatementRecordset* rs;
        explicit Resync(StatementRecordset* r) : rs(r) {}
        ~Resync() { rs->sync(); }
    };

private:
    [[noreturn]] static void noCurrentRecord()
    {
        fail(kRecordsetSource, daoerr::NoCurrentRecord, QStringLiteral("No current record."));
    }
    [[noreturn]] static void invalidBookmark()
    {
        fail(kRecordsetSource, daoerr::NotAValidBookmark, QStringLiteral("Not a valid bookmark."));
    }

    // Steps the statement once; false (and the statement reset) at the end.
    bool stepOnce()
    {
        const int rc = sqlite3_step(m_stmt.get());
        if (rc == SQLITE_ROW) {
            ++m_cursorRow;
            return true;
        }
        stepEnded(rc);
        return false;
    }

    // A step that gave no row: the end (the size of the result is then
    // known) or a failure; either way the statement is reset.
    void stepEnded(int rc)
    {
        if (rc != SQLITE_DONE) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(db->db));
            sqlite3_reset(m_stmt.get());
            m_cursorRow = -1;
            fail(kRecordsetSource, errnum::Database, message);
        }
        m_total = m_cursorRow + 1;
        sqlite3_reset(m_stmt.get());
        m_cursorRow = -1;
    }

    // Makes row `target` current; past the end the recordset is at EOF.
    void stepTo(long target)
    {
        if (m_cursorRow > target) {
            sqlite3_reset(m_stmt.get());
            m_cursorRow = -1;
        }
        while (m_cursorRow < target) {
            if (!stepOnce()) {
                m_eof = true;
                m_pos = m_total;
                return;
            }
        }
        m_pos = target;
        m_eof = false;
    }

    void reattach()
    {
        const Resync resync(this);
        const long wanted = m_pos;
        stepTo(wanted);
        if (m_eof)
            fail(kRecordsetSource, daoerr::RecordIsDeleted, QStringLiteral("Record is deleted."));
    }

    QByteArray m_sql;
    RecordsetType m_type;
    QStringList m_parameterNames;
    Parameters m_parameters;
    Stmt m_stmt;
    QStringList m_names;
    QList<FieldType> m_types;
    QHash<QString, int> m_byName;
    long m_pos = 0;         // the current row (-1 before the first)
    long m_cursorRow = -1;  // the row the statement stands on (-1: not stepped)
    long m_total = -1;      // rows of the result, once the end has been seen
    bool m_bof = false;
    bool m_eof = false;
};

}  // namespace

std::unique_ptr<Recordset::Impl> makeStatementRecordset(std::shared_ptr<Database> db, Database::Impl* impl,
                                                        const QByteArray& sql, RecordsetType type,
                                                        const QStringList& parameterNames, const Parameters& parameters)
{
    return std::make_unique<StatementRecordset>(std::move(db), impl, sql, type, parameterNames, parameters);
}

}  // namespace lg::dao
