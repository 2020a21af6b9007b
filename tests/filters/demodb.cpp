#include "demodb.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace lg::test {

DemoDb& DemoDb::instance()
{
    static DemoDb db;
    return db;
}

DemoDb::DemoDb()
{
    const QString path = tempPath(QStringLiteral("demo.db"));
    const ProcessResult r = runProgram(QStringLiteral(LISTGEN_CLI), {QStringLiteral("demo-db"), QStringLiteral("--out"), path});
    if (r.exitCode != 0)
        ADD_FAILURE() << "listgen demo-db failed: " << r.err.toStdString();
    m_db = dao::Database::open(path);
    auto rs = m_db->OpenRecordset(QStringLiteral("SELECT id, nev, aktiv, hitelkeret, letrehozva FROM partner ORDER BY id"),
                                  dao::RecordsetType::Snapshot);
    for (; !rs->Eof(); rs->MoveNext())
        m_partners.append({rs->Fields(0).toInt(), rs->Fields(1).toString(), rs->Fields(2).toInt() != 0,
                           rs->Fields(3).toDouble(), rs->Fields(4).toDateTime().date()});
    rs = m_db->OpenRecordset(QStringLiteral("SELECT id, kelt, netto FROM szamla ORDER BY id"), dao::RecordsetType::Snapshot);
    for (; !rs->Eof(); rs->MoveNext())
        m_invoices.append({rs->Fields(0).toInt(), rs->Fields(1).toDateTime().date(), rs->Fields(2).toDouble()});
}

QList<int> DemoDb::idsWhere(const QString& table, const QString& condition)
{
    QList<int> ids;
    auto rs = m_db->OpenRecordset(QStringLiteral("SELECT id FROM ") + table + QStringLiteral(" WHERE ") + condition +
                                      QStringLiteral(" ORDER BY id"),
                                  dao::RecordsetType::Snapshot);
    for (; !rs->Eof(); rs->MoveNext())
        ids.append(rs->Fields(0).toInt());
    return ids;
}

QList<int> DemoDb::partnerIds(const std::function<bool(const Partner&)>& keep) const
{
    QList<int> ids;
    for (const Partner& p : m_partners) {
        if (keep(p))
            ids.append(p.id);
    }
    return ids;
}

QList<int> DemoDb::invoiceIds(const std::function<bool(const Invoice&)>& keep) const
{
    QList<int> ids;
    for (const Invoice& i : m_invoices) {
        if (keep(i))
            ids.append(i.id);
    }
    return ids;
}

}  // namespace lg::test
