#include "storefixture.h"

#include <QtCore/QUrl>

#include <sqlite3.h>

namespace lg::test {

namespace {

// The database name of a postgresql:// URI.
QString pgDatabaseOf(const QString& uri)
{
    return QUrl(uri).path().mid(1);
}

void sqliteExec(const QString& file, const QString& sql)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_busy_timeout(raw, 5000);
    char* message = nullptr;
    const int rc = sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close_v2(raw);
    ASSERT_EQ(rc, SQLITE_OK) << text.toStdString();
}

}  // namespace

void StoreTest::refuse(const QString& table, const QString& operation, const QString& condition)
{
    refusedTable = table;
    if (!onPostgres()) {
        sqliteExec(db->Name(), QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 %3 BEGIN SELECT RAISE(ABORT, "
                                              "'refused by test'); END")
                                   .arg(operation, table,
                                        condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition));
        return;
    }
    PgConnection c(PgCluster::instance().connectionString(pgDatabaseOf(path)));
    c.exec(QStringLiteral("CREATE OR REPLACE FUNCTION refuse_by_test() RETURNS trigger LANGUAGE plpgsql AS "
                          "$$BEGIN RAISE EXCEPTION 'refused by test'; END$$;"
                          "CREATE TRIGGER refuse BEFORE %1 ON %2 FOR EACH ROW %3 EXECUTE FUNCTION refuse_by_test()")
               .arg(operation, table,
                    condition.isEmpty() ? QString() : QStringLiteral("WHEN (") + condition + QLatin1Char(')')));
}

void StoreTest::allow()
{
    if (!onPostgres()) {
        sqliteExec(db->Name(), QStringLiteral("DROP TRIGGER refuse"));
        return;
    }
    PgConnection c(PgCluster::instance().connectionString(pgDatabaseOf(path)));
    c.exec(QStringLiteral("DROP TRIGGER refuse ON %1").arg(refusedTable));
}

std::shared_ptr<ListReport> StoreTest::makeList(const QString& name, int groups, int fields, int wheres)
{
    auto list = std::make_shared<ListReport>();
    list->set_name(name);
    list->set_list_type_id(3);
    list->set_sql_source(QStringLiteral("select * from t where %WHERE%"));
    EXPECT_TRUE(list->SetFinal());
    EXPECT_TRUE(list->CoreUpdate(true));
    for (int i = 1; i <= groups; ++i) {
        ListReportGroupField g;
        g.set_vlq_list_report_id(list->ID());
        g.set_table_field_id(100 + i);
        g.set_sort_order(i);
        EXPECT_TRUE(g.SetFinal() && g.CoreUpdate());
    }
    for (int i = 1; i <= fields; ++i) {
        ListReportVisibleField f;
        f.set_vlq_list_report_id(list->ID());
        f.set_table_field_id(200 + i);
        f.set_sort_order(i);
        f.set_total_aggregate(eRFATsum);
        EXPECT_TRUE(f.SetFinal() && f.CoreUpdate());
    }
    for (int i = 1; i <= wheres; ++i) {
        ListReportWhereField w;
        w.set_vlq_list_report_id(list->ID());
        w.set_table_field_id(300 + i);
        w.set_text_from(QStringLiteral("érték %1").arg(i));
        w.set_number_from(2.5 * i);
        w.set_sql_where(QStringLiteral("[x].[f%1] = %1").arg(i));
        EXPECT_TRUE(w.SetFinal() && w.CoreUpdate());
    }
    return list;
}

}  // namespace lg::test
