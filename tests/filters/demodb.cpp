#include "demodb.h"

#include "support/pgbackend.h"
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
    // A file, or on the PostgreSQL run a database of the test cluster.
    const QString path = testDatabaseName(QStringLiteral("demo.db"));
    const ProcessResult r = runProgram(QStringLiteral(LISTGEN_CLI),
                                       {QStringLiteral("demo-db"), onPostgres() ? QStringLiteral("--db") : QStringLiteral("--out"), path});
    if (r.exitCode != 0)
        ADD_FAILURE() << "listgen demo-db failed: " << r.err.toStdString();
    m_path = path;
    m_db = dao::Database::open(path);
    auto rs = m_db->OpenRecordset(QStringLiteral("SELECT id, nev, aktiv, hitelkeret, letrehozva FROM partner ORDER BY id"),
                                  dao::RecordsetType::Snapshot);
    for (; !rs->Eof(); rs->MoveNext())
        m_partners.append({rs->Fields(0).toInt(), rs->Fields(1).toString(), rs->Fields(2).toInt() != 0,
                           rs->Fields(3).toDouble(), rs->Fields(4).toDateTime().date()});
    rs = m_db->OpenRecordset(QStringLiteral("SELECT id, kelt, netto FROM szamla ORDER BY id"), dao::RecordsetType::Snapshot);
    for (; !rs->Eof(); rs->MoveNext())
        m_invoices.append({rs->Fields(0).toInt(), rs->Fields(1).toDateTime().date(), rs->Fields(2).toDouble()});

    for (const Partner& p : m_partners)
        m_samples.append({p.id, p.name, p.creditLimit / 1e6, QDateTime(p.created, QTime(0, 0))});
    const QStringList names = {QStringLiteral("abc"), QStringLiteral("ABCDEF"), QStringLiteral("abd"),
                               QStringLiteral("O'Neil"), QStringLiteral("O'Neill & Co"), QStringLiteral("a'b"),
                               QStringLiteral("x"), QStringLiteral("b"), QStringLiteral("l"),
                               QStringLiteral("lz"), QStringLiteral("k"), QStringLiteral("%x%")};
    const double prices[] = {5, 9, 12.5, 4.99, 0, 5.01};
    const QDateTime moments[] = {
        {{2024, 3, 5}, {0, 0}},       {{2024, 3, 5}, {23, 59, 59}}, {{2024, 3, 4}, {23, 59, 59}},
        {{2024, 3, 6}, {0, 0}},       {{2024, 3, 9}, {12, 0}},      {{2024, 3, 10}, {0, 0}},
        {{2024, 3, 9}, {23, 59, 59}},
    };
    for (int i = 0; i < names.size(); ++i)
        m_samples.append({1001 + i, names.at(i), prices[i % 6], moments[i % 7]});
    m_db->Execute(QStringLiteral("CREATE TABLE t (id LONG NOT NULL, NAME TEXT(120), PRICE DOUBLE, D DATETIME, "
                                 "CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
    for (const SampleRow& r : m_samples)
        m_db->Execute(QStringLiteral("INSERT INTO t (id, NAME, PRICE, D) VALUES (?, ?, ?, ?)"),
                      dao::Parameters(QVariantList{r.id, r.NAME, r.PRICE, r.D}));
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

QList<int> DemoDb::sampleIds(const std::function<bool(const SampleRow&)>& keep) const
{
    QList<int> ids;
    for (const SampleRow& r : m_samples) {
        if (keep(r))
            ids.append(r.id);
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
