#include "reportengine/rowsource.h"

#include "platform/dao/dao.h"

namespace lg::reportengine {

void RowSource::skip(qint64 count)
{
    QList<QVariant> row;
    while (count-- > 0 && next(row)) {
    }
}

MemoryRowSource::MemoryRowSource(QStringList columns, std::shared_ptr<const QList<QList<QVariant>>> rows,
                                 QList<ColumnKind> kinds)
    : m_columns(std::move(columns)), m_kinds(std::move(kinds)), m_rows(std::move(rows))
{
}

QList<ColumnKind> MemoryRowSource::kinds() const
{
    return m_kinds.size() == m_columns.size() ? m_kinds : RowSource::kinds();
}

bool MemoryRowSource::next(QList<QVariant>& row)
{
    if (!m_rows || m_pos >= m_rows->size())
        return false;
    row = m_rows->at(m_pos++);
    return true;
}

GeneratedRowSource::GeneratedRowSource(QStringList columns, qint64 count, Generator generator,
                                       QList<ColumnKind> kinds)
    : m_columns(std::move(columns)), m_kinds(std::move(kinds)), m_count(count), m_generator(std::move(generator))
{
}

QList<ColumnKind> GeneratedRowSource::kinds() const
{
    return m_kinds.size() == m_columns.size() ? m_kinds : RowSource::kinds();
}

bool GeneratedRowSource::next(QList<QVariant>& row)
{
    if (m_pos >= m_count)
        return false;
    row.resize(m_columns.size());
    m_generator(m_pos++, row);
    return true;
}


RecordsetRowSource::RecordsetRowSource(std::shared_ptr<dao::Recordset> recordset) : m_rs(std::move(recordset))
{
    const int n = m_rs->FieldCount();
    for (int i = 0; i < n; ++i) {
        m_columns << m_rs->FieldName(i);
        m_kinds << xlsx::cellKindOf(m_rs->FieldTypeOf(i));
    }
}

bool RecordsetRowSource::next(QList<QVariant>& row)
{
    if (!m_first)
        m_rs->MoveNext();
    m_first = false;
    if (m_rs->Eof())
        return false;
    const int n = static_cast<int>(m_columns.size());
    row.resize(n);
    for (int i = 0; i < n; ++i)
        row[i] = m_rs->Fields(i);
    return true;
}

RowSourceOpener statementOpener(std::shared_ptr<dao::Database> db, QString statement)
{
    return [db = std::move(db), statement = std::move(statement)]() -> std::unique_ptr<RowSource> {
        auto rs = db->OpenRecordset(statement, dao::RecordsetType::ForwardOnly, dao::dbReadOnly);
        return std::make_unique<RecordsetRowSource>(std::move(rs));
    };
}

}  // namespace lg::reportengine
