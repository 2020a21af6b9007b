// Every statement text of the library (corpus.txt) must translate and be
// accepted by SQLite against the definition-store schema.

#include "sqlitetestdb.h"

#include "platform/runtimeerror.h"

#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>

#include <gtest/gtest.h>

using lg::jetsql::test::SqliteTestDb;

namespace {

const char* const kAudit =
    "id LONG NOT NULL, create_user LONG, create_date DATETIME, last_action_user_id1 LONG, last_action_date1 DATETIME, "
    "last_action_user_id2 LONG, last_action_date2 DATETIME, del_status YESNO DEFAULT 0, ";

// The definition store and the host tables the statements read, in Jet DDL.
QStringList schema()
{
    const QString audit = QString::fromLatin1(kAudit);
    QString aggregates;
    for (int i = 1; i <= 10; ++i)
        aggregates += QStringLiteral("group%1_aggregate LONG DEFAULT -1, ").arg(i);
    QStringList ddl = {
        QStringLiteral("CREATE TABLE vlq_list_report (") + audit +
            QStringLiteral(
                "list_type_id LONG, name TEXT(255), detail_invisible LONG, description MEMO, sql_source MEMO, "
                "sql_description MEMO, report_file TEXT(255), table_priority LONG, filterform LONG, "
                "private YESNO, temp_status LONG DEFAULT 0, CONSTRAINT PrimaryKey PRIMARY KEY (id))"),
        QStringLiteral("CREATE TABLE vlq_list_report_group_field (") + audit +
            QStringLiteral("vlq_list_report_id LONG, table_field_id LONG, sort_order LONG, "
                           "CONSTRAINT PrimaryKey PRIMARY KEY (id))"),
        QStringLiteral("CREATE TABLE vlq_list_report_visible_field (") + audit +
            QStringLiteral("vlq_list_report_id LONG, table_field_id LONG, sort_order LONG, ") + aggregates +
            QStringLiteral("total_aggregate LONG DEFAULT -1, CONSTRAINT PrimaryKey PRIMARY KEY (id))"),
        QStringLiteral("CREATE TABLE vlq_list_report_where_field (") + audit +
            QStringLiteral("vlq_list_report_id LONG, table_field_id LONG, not_value LONG, relation_type LONG, "
                           "number_from DOUBLE, number_to DOUBLE, date_from DATETIME, date_to DATETIME, "
                           "text_from TEXT(255), text_to TEXT(255), boolean_value LONG, selected_items MEMO, "
                           "sql_where MEMO, sql_description MEMO, CONSTRAINT PrimaryKey PRIMARY KEY (id))"),
        QStringLiteral("CREATE TABLE vlq_list_wizard_type (") + audit +
            QStringLiteral("name TEXT(255), description MEMO, required_table LONG, required_where MEMO, "
                           "com_assistant TEXT(255), com_assistant_visible_name TEXT(255), modul_id LONG, "
                           "temp_status LONG DEFAULT 0, CONSTRAINT PrimaryKey PRIMARY KEY (id))"),
        QStringLiteral("CREATE TABLE vlq_list_wizard_table (") + audit +
            QStringLiteral("table_name TEXT(255), table_alias TEXT(255), visible_name TEXT(255), quickpick_id LONG, "
                           "where_clause_qpi MEMO, where_clause_sql MEMO, primarykey_indexname TEXT(255), "
                           "primarykey_filedname TEXT(255), temp_status LONG DEFAULT 0, "
                           "CONSTRAINT PrimaryKey PRIMARY KEY (id))"),
        QStringLiteral("CREATE TABLE vlq_list_wizard_table_field (") + audit +
            QStringLiteral("table_id LONG, field_name TEXT(255), visible_name TEXT(255), group_field_name TEXT(255), "
                           "field_type LONG, field_control_type LONG, visibled YESNO, filtered YESNO, groupable YESNO, "
                           "aggregated YESNO, field_width LONG, field_format TEXT(255), where_clause MEMO, "
                           "default_search_field TEXT(255), temp_status LONG DEFAULT 0, "
                           "CONSTRAINT PrimaryKey PRIMARY KEY (id))"),
        QStringLiteral("CREATE TABLE vlq_list_wizard_table_type_connection (") + audit +
            QStringLiteral("list_type_id LONG, table_id LONG, sort_order LONG, table_join MEMO, table_parent_id LONG, "
                           "temp_status LONG DEFAULT 0, CONSTRAINT PrimaryKey PRIMARY KEY (id))"),
        QStringLiteral("CREATE TABLE vlq_list_auth_unit (") + audit +
            QStringLiteral("auth_type LONG, user_group_id LONG, list_type_id LONG, list_report_id LONG, "
                           "CONSTRAINT PrimaryKey PRIMARY KEY (id))"),
        QStringLiteral("CREATE INDEX real_sort_order ON vlq_list_report_group_field (vlq_list_report_id, sort_order, "
                       "del_status)"),
        QStringLiteral("CREATE INDEX real_sort_order ON vlq_list_report_visible_field (vlq_list_report_id, sort_order, "
                       "del_status)"),
        QStringLiteral("CREATE INDEX live_filter ON vlq_list_report_where_field (vlq_list_report_id, del_status)"),
        QStringLiteral(
            "CREATE INDEX where_field_id ON vlq_list_report_where_field (vlq_list_report_id, table_field_id, "
            "del_status)"),
        QStringLiteral("CREATE INDEX Exist_auth ON vlq_list_auth_unit (auth_type, user_group_id, list_type_id, "
                       "list_report_id, del_status)"),
        QStringLiteral("CREATE TABLE excl_0 (CC SHORT)"),
        QStringLiteral("CREATE TABLE user_membership (id LONG, user_group_id LONG)"),
        QStringLiteral("CREATE VIEW qry_vlq_list_wizard_user_table AS SELECT id, user_group_id FROM user_membership"),
        QStringLiteral("CREATE TABLE qry_vlq_list_wizard_user_group_table (id LONG, name TEXT(100))"),
        QStringLiteral("CREATE TABLE vlq_quickpick (id LONG, name TEXT(100))"),
        QStringLiteral("CREATE TABLE vlq_quickpick_field (id LONG, quickpick_id LONG, search_field_name TEXT(100), "
                       "search_field TEXT(100))"),
        QStringLiteral("CREATE TABLE partner (id COUNTER PRIMARY KEY, nev TEXT(100), kod TEXT(20), aktiv YESNO)"),
        QStringLiteral("CREATE TABLE szamla (id COUNTER PRIMARY KEY, partner_id LONG, osszeg CURRENCY, kelt DATETIME, "
                       "user_id LONG)"),
    };
    return ddl;
}

QStringList corpus()
{
    QFile file(QStringLiteral(LISTGEN_SOURCE_DIR "/tests/platform/jetsql/corpus.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList statements;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        statements << line;
    }
    return statements;
}

// Prepares and runs every statement of a translation.
void run(SqliteTestDb& db, const QString& sql)
{
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    while (tail && *tail) {
        sqlite3_stmt* stmt = nullptr;
        const char* next = nullptr;
        if (sqlite3_prepare_v2(db.handle(), tail, -1, &stmt, &next) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db.handle()));
        if (stmt) {
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            }
            sqlite3_finalize(stmt);
            if (rc != SQLITE_DONE)
                throw std::runtime_error(sqlite3_errmsg(db.handle()));
        }
        tail = next;
    }
}

class Corpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const QString& ddl : schema())
            run(db, lg::jetsql::translate(ddl)->sql);
        db.exec(QStringLiteral("INSERT INTO partner (nev, kod, aktiv) VALUES ('Abc Kft', 'A1', -1)"));
        db.exec(QStringLiteral(
            "INSERT INTO szamla (partner_id, osszeg, kelt, user_id) VALUES (1, 7, #03/05/2024 10:00#, 4)"));
    }
    SqliteTestDb db;
};

TEST_F(Corpus, EveryStatementRunsOnSqlite)
{
    const QStringList statements = corpus();
    ASSERT_GT(statements.size(), 40);
    for (const QString& jet : statements) {
        SCOPED_TRACE(jet.toStdString());
        QString sql;
        try {
            sql = lg::jetsql::translate(jet)->sql;
            run(db, sql);
        } catch (const lg::RuntimeError& e) {
            ADD_FAILURE() << e.description().toStdString();
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what() << "\n  " << sql.toStdString();
        }
    }
}

TEST_F(Corpus, IndexNamesArePrefixedWithTheirTable)
{
    const QStringList names = db.nativeRows(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'vlq_list_report_where_field' "
        "ORDER BY name"));
    EXPECT_EQ(names, (QStringList{QStringLiteral("vlq_list_report_where_field:PrimaryKey"),
                                  QStringLiteral("vlq_list_report_where_field:live_filter"),
                                  QStringLiteral("vlq_list_report_where_field:where_field_id")}));
}

// Truncated and slightly damaged statements must fail cleanly, never crash.
TEST(CorpusFuzz, DamagedStatementsThrowOrTranslate)
{
    const QStringList statements = corpus();
    QRandomGenerator random(20240305);
    int failures = 0;
    for (const QString& jet : statements) {
        for (int k = 0; k < 30; ++k) {
            QString damaged = jet.left(random.bounded(jet.size() + 1));
            if (k % 3 == 1 && !damaged.isEmpty())
                damaged.remove(random.bounded(damaged.size()), 1);
            if (k % 3 == 2)
                damaged += QStringLiteral("([#'\"").at(random.bounded(5));
            try {
                lg::jetsql::translate(damaged);
            } catch (const lg::RuntimeError& e) {
                ++failures;
                EXPECT_FALSE(e.description().isEmpty());
            }
        }
    }
    EXPECT_GT(failures, statements.size() * 10);
    // Deep nesting is refused, not a stack overflow.
    EXPECT_THROW(lg::jetsql::translate(QStringLiteral("SELECT ") + QString(5000, u'(') + u'1' + QString(5000, u')')),
                 lg::RuntimeError);
    EXPECT_THROW(lg::jetsql::translate(QStringLiteral("SELECT * FROM ") + QString(5000, u'(') + u't'),
                 lg::RuntimeError);
}

}  // namespace
