#include <gtest/gtest.h>

#include <QtCore/QFile>

#include "platform/dao/dao.h"
#include "store/schema.h"
#include "support/pgbackend.h"
#include "support/testsupport.h"

namespace lg::test {
namespace {

using store::InstallState;
using store::SchemaObject;
using store::SchemaObjectKind;

struct Installed {
    QStringList created;
    QStringList present;
};

// A fresh, empty database (a file, or a database of the test cluster).
QString freshDatabase()
{
    return testDatabaseName(QStringLiteral("schema.db"));
}

Installed install(dao::Database& db)
{
    Installed out;
    store::installSchema(db, [&](const SchemaObject& o, InstallState s) {
        (s == InstallState::Created ? out.created : out.present) << o.describe();
    });
    return out;
}

TEST(Schema, InstallsEveryObjectOnceAndIsHarmlessTwice)
{
    PG_RUN_OR_SKIP();
    auto db = dao::Database::open(freshDatabase());
    const Installed first = install(*db);
    EXPECT_TRUE(first.present.isEmpty());
    for (const char* name :
         {"table vlq_list_report", "table vlq_list_report_group_field", "table vlq_list_report_visible_field",
          "table vlq_list_report_where_field", "table vlq_list_wizard_table", "table vlq_list_wizard_table_field",
          "table vlq_list_wizard_table_type_connection", "table vlq_list_wizard_type", "table vlq_list_auth_unit",
          "table excl_0", "index real_sort_order on vlq_list_report_group_field",
          "index real_sort_order on vlq_list_report_visible_field", "index live_filter on vlq_list_report_where_field",
          "index where_field_id on vlq_list_report_where_field", "index Exist_auth on vlq_list_auth_unit",
          "view qry_vlq_list_wizard_user_table", "view qry_vlq_list_wizard_user_group_table", "table vlq_user"})
        EXPECT_TRUE(first.created.contains(QString::fromLatin1(name))) << name;

    const Installed second = install(*db);
    EXPECT_TRUE(second.created.isEmpty()) << second.created.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(second.present.size(), first.created.size());
}

TEST(Schema, ColumnsKeepTheirTypesAndDefaults)
{
    PG_RUN_OR_SKIP();
    auto db = dao::Database::open(freshDatabase());
    install(*db);
    const dao::TableDef report = db->tableDef(QStringLiteral("vlq_list_report"));
    ASSERT_TRUE(report.field(QStringLiteral("sql_source")));
    EXPECT_EQ(report.field(QStringLiteral("sql_source"))->type, dao::FieldType::Memo) << "long text is unlimited";
    EXPECT_EQ(report.field(QStringLiteral("private"))->type, dao::FieldType::YesNo);
    EXPECT_EQ(report.field(QStringLiteral("create_date"))->type, dao::FieldType::DateTime);
    ASSERT_TRUE(report.index(QStringLiteral("PrimaryKey")));
    EXPECT_TRUE(report.index(QStringLiteral("PrimaryKey"))->primary);
    const dao::TableDef groups = db->tableDef(QStringLiteral("vlq_list_report_group_field"));
    ASSERT_TRUE(groups.index(QStringLiteral("real_sort_order")));
    EXPECT_TRUE(groups.index(QStringLiteral("real_sort_order"))
                    ->fields.startsWith(QStringLiteral("+vlq_list_report_id;+sort_order;+del_status")));
    EXPECT_EQ(db->tableDef(QStringLiteral("vlq_list_report_where_field")).field(QStringLiteral("number_from"))->type,
              dao::FieldType::Double);

    // A bare insert gets live, final rows.
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id) values (1)"));
    db->Execute(QStringLiteral("insert into vlq_list_wizard_table_field (id) values (1)"));
    auto rs = db->OpenRecordset(QStringLiteral("select del_status, temp_status from vlq_list_wizard_type"));
    EXPECT_EQ(rs->Fields(0).toLongLong(), 0);
    EXPECT_EQ(rs->Fields(1).toLongLong(), 0);
    rs = db->OpenRecordset(QStringLiteral("select visibled, temp_status from vlq_list_wizard_table_field"));
    EXPECT_EQ(rs->Fields(0).toLongLong(), -1);
    EXPECT_EQ(rs->Fields(1).toLongLong(), 0);
}

TEST(Schema, DefaultUserQueryGivesOneRowPerMembership)
{
    PG_RUN_OR_SKIP();
    auto db = dao::Database::open(freshDatabase());
    install(*db);
    db->Execute(QStringLiteral("insert into vlq_user (id, display_name) values (1, 'Anna')"));
    db->Execute(QStringLiteral("insert into vlq_user (id, display_name) values (2, 'Béla')"));
    db->Execute(QStringLiteral("insert into vlq_user_group (id, name) values (10, 'Admin')"));
    db->Execute(QStringLiteral("insert into vlq_user_group (id, name) values (11, 'Sales')"));
    db->Execute(QStringLiteral("insert into vlq_user_group_member (user_id, user_group_id) values (1, 10)"));
    db->Execute(QStringLiteral("insert into vlq_user_group_member (user_id, user_group_id) values (1, 11)"));
    auto rs = db->OpenRecordset(QStringLiteral(
        "select id, user_group_id, display_name from qry_vlq_list_wizard_user_table order by id, user_group_id"));
    const auto rows = rs->GetRows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0][1].toLongLong(), 10);
    EXPECT_EQ(rows[1][1].toLongLong(), 11);
    EXPECT_EQ(rows[2][0].toLongLong(), 2);
    EXPECT_TRUE(dao::isNull(rows[2][1])) << "a user in no group has one row with no group";
    EXPECT_EQ(rows[2][2].toString(), QStringLiteral("Béla"));
    rs = db->OpenRecordset(QStringLiteral("select count(*) from qry_vlq_list_wizard_user_group_table"));
    EXPECT_EQ(rs->Fields(0).toLongLong(), 2);
}

TEST(Schema, HostQueriesAreKept)
{
    PG_RUN_OR_SKIP();
    auto db = dao::Database::open(freshDatabase());
    db->Execute(QStringLiteral("CREATE TABLE host_users (uid LONG, gid LONG, nm TEXT(50))"));
    db->Execute(QStringLiteral("CREATE VIEW qry_vlq_list_wizard_user_table AS SELECT uid AS id, gid AS "
                               "user_group_id, nm AS display_name FROM host_users"));
    const Installed result = install(*db);
    EXPECT_TRUE(result.present.contains(QStringLiteral("view qry_vlq_list_wizard_user_table")));
    EXPECT_FALSE(db->hasTable(QStringLiteral("vlq_user")));
    EXPECT_FALSE(db->hasTable(QStringLiteral("vlq_user_group_member")));
    EXPECT_TRUE(db->hasTable(QStringLiteral("vlq_user_group"))) << "the group query was missing";
    db->Execute(QStringLiteral("insert into host_users (uid, gid, nm) values (5, 6, 'x')"));
    auto rs = db->OpenRecordset(QStringLiteral("select user_group_id from qry_vlq_list_wizard_user_table"));
    EXPECT_EQ(rs->Fields(0).toLongLong(), 6);
}

TEST(Schema, InitDbCommand)
{
    PG_RUN_OR_SKIP();
    const QString path = freshDatabase();
    ProcessResult first =
        runProgram(QStringLiteral(LISTGEN_CLI), {QStringLiteral("init-db"), QStringLiteral("--db"), path});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.contains(QStringLiteral("table vlq_list_report: created\n")));
    EXPECT_FALSE(first.out.contains(QStringLiteral(": present")));

    ProcessResult second =
        runProgram(QStringLiteral(LISTGEN_CLI), {QStringLiteral("init-db"), QStringLiteral("--db"), path});
    ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_FALSE(second.out.contains(QStringLiteral(": created")));
    EXPECT_EQ(second.out.count(QLatin1Char('\n')), first.out.count(QLatin1Char('\n')));

    // A host with its own user query keeps it.
    const QString host = freshDatabase();
    {
        auto db = dao::Database::open(host);
        db->Execute(QStringLiteral("CREATE TABLE staff (id LONG, grp LONG)"));
        db->Execute(
            QStringLiteral("CREATE VIEW qry_vlq_list_wizard_user_table AS SELECT id, grp AS user_group_id FROM staff"));
    }
    ProcessResult own =
        runProgram(QStringLiteral(LISTGEN_CLI), {QStringLiteral("init-db"), QStringLiteral("--db"), host});
    ASSERT_EQ(own.exitCode, 0) << own.err.toStdString();
    EXPECT_TRUE(own.out.contains(QStringLiteral("view qry_vlq_list_wizard_user_table: present\n")));
    EXPECT_FALSE(own.out.contains(QStringLiteral("table vlq_user:")));

    ProcessResult usage = runProgram(QStringLiteral(LISTGEN_CLI), {QStringLiteral("init-db")});
    EXPECT_EQ(usage.exitCode, 2);
}

}  // namespace
}  // namespace lg::test
